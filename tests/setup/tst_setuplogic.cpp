// The setup window's plain rules: the accelerating step of the alarm
// steppers and their range, the unit and port decisions with their
// messages, what the thermometer page shows of the stored values, and the
// port list with the stable names of USB adapters.
#include "setup/logic/serialportlist.h"
#include "setup/logic/setuprules.h"
#include "setup/logic/stepperacceleration.h"
#include "setup/logic/steppercount.h"
#include "setup/logic/thermometerpage.h"

#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using SetupRules::Button;
using SetupRules::PortAction;
using SetupRules::UnitAction;

Q_DECLARE_METATYPE(StepDirection)
Q_DECLARE_METATYPE(SetupRules::Button)
Q_DECLARE_METATYPE(SetupRules::UnitAction)
Q_DECLARE_METATYPE(SetupRules::PortAction)

class TestSetupLogic : public QObject {
    Q_OBJECT
private slots:
    void stepAfterEvents_data();
    void stepAfterEvents();
    void stepperStaysInItsRange_data();
    void stepperStaysInItsRange();
    void tenthsOfDegrees_data();
    void tenthsOfDegrees();
    void unitChange_data();
    void unitChange();
    void portChange_data();
    void portChange();
    void thermometerValues_data();
    void thermometerValues();
    void portList();
};

void TestSetupLogic::stepAfterEvents_data()
{
    QTest::addColumn<quint32>("events");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("expected");
    QTest::newRow("1 keeps") << 1u << 5 << 5;
    QTest::newRow("4 keeps") << 4u << 5 << 5;
    QTest::newRow("4 keeps a larger step") << 4u << 1000 << 1000;
    QTest::newRow("5") << 5u << 5 << 50;
    QTest::newRow("30") << 30u << 50 << 50;
    QTest::newRow("31") << 31u << 50 << 100;
    QTest::newRow("50") << 50u << 100 << 100;
    QTest::newRow("51") << 51u << 100 << 200;
    QTest::newRow("100") << 100u << 200 << 200;
    QTest::newRow("101") << 101u << 200 << 500;
    QTest::newRow("150") << 150u << 500 << 500;
    QTest::newRow("151") << 151u << 500 << 1000;
    QTest::newRow("65535") << 65535u << 1000 << 1000;
    QTest::newRow("65536 keeps") << 65536u << 7 << 7;
    QTest::newRow("0 keeps") << 0u << 5 << 5;
}

void TestSetupLogic::stepAfterEvents()
{
    QFETCH(quint32, events);
    QFETCH(int, current);
    QFETCH(int, expected);
    QCOMPARE(StepperAcceleration::stepAfter(events, current), expected);
}

void TestSetupLogic::stepperStaysInItsRange_data()
{
    QTest::addColumn<int>("placed");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("count");
    QTest::addColumn<StepDirection>("direction");
    QTest::addColumn<int>("target");
    QTest::newRow("inside, up") << 3000 << 5 << true << 3000 << StepDirection::Up << 3005;
    QTest::newRow("inside, down") << 3000 << 500 << false << 3000 << StepDirection::Down << 2500;
    QTest::newRow("at the top, up") << 22000 << 5 << true << 22000 << StepDirection::None << 22000;
    QTest::newRow("at the top, down") << 22000 << 5 << false << 22000 << StepDirection::Down << 21995;
    QTest::newRow("at the bottom, down") << 2000 << 5 << false << 2000 << StepDirection::None << 2000;
    QTest::newRow("overshooting the top stops there")
        << 21900 << 1000 << true << 21900 << StepDirection::Up << 22000;
    QTest::newRow("overshooting the bottom stops there")
        << 2300 << 500 << false << 2300 << StepDirection::Down << 2000;
    QTest::newRow("placed below the range: at the bottom")
        << 0 << 5 << true << 2000 << StepDirection::Up << 2005;
    QTest::newRow("placed above the range: at the top")
        << 30000 << 5 << true << 22000 << StepDirection::None << 22000;
    QTest::newRow("step near the end of int")
        << std::numeric_limits<int>::max() << std::numeric_limits<int>::max() << false << 22000
        << StepDirection::Down << 2000;
}

void TestSetupLogic::stepperStaysInItsRange()
{
    QFETCH(int, placed);
    QFETCH(int, step);
    QFETCH(bool, up);
    QFETCH(int, count);
    QFETCH(StepDirection, direction);
    QFETCH(int, target);
    const StepperCount stepper(2000, 22000, placed, step);
    QCOMPARE(stepper.count(), count);
    QCOMPARE(stepper.direction(up), direction);
    QCOMPARE(stepper.target(direction), target);
}

void TestSetupLogic::tenthsOfDegrees_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("tenths");
    QTest::newRow("default limit") << 0.0 << 0;
    QTest::newRow("36.5") << 36.5 << 365;
    QTest::newRow("-20") << -20.0 << -200;
    QTest::newRow("floating noise") << 0.7 - 0.4 << 3;
    QTest::newRow("too large") << 1e300 << std::numeric_limits<int>::max();
    QTest::newRow("too small") << -1e300 << std::numeric_limits<int>::min();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestSetupLogic::tenthsOfDegrees()
{
    QFETCH(double, degrees);
    QFETCH(int, tenths);
    QCOMPARE(tenthsCount(degrees), tenths);
}

void TestSetupLogic::unitChange_data()
{
    QTest::addColumn<bool>("unitCelsius");
    QTest::addColumn<bool>("celsiusSelected");
    QTest::addColumn<bool>("measuring");
    QTest::addColumn<bool>("tableBusy");
    QTest::addColumn<Button>("button");
    QTest::addColumn<UnitAction>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");

    const QString english = QStringLiteral("Kelvora V0.1 Error Information");
    const QString chinese = QStringLiteral("Kelvora V0.1错误信息");
    QTest::newRow("unit in force, even while measuring")
        << true << true << true << true << Button::Ok << UnitAction::Keep << QString() << QString();
    QTest::newRow("Fahrenheit in force")
        << false << false << false << false << Button::Apply << UnitAction::Keep << QString() << QString();
    QTest::newRow("to Fahrenheit") << true << false << false << false << Button::Ok << UnitAction::Change
                                   << QString() << QString();
    QTest::newRow("to Celsius") << false << true << false << false << Button::Apply << UnitAction::Change
                                << QString() << QString();
    QTest::newRow("OK while measuring")
        << true << false << true << true << Button::Ok << UnitAction::Refuse
        << QStringLiteral("Sorry!you can not change unit during measuring.!\rStop measuring first,Please!")
        << english;
    QTest::newRow("OK while a table is busy")
        << false << true << false << true << Button::Ok << UnitAction::Refuse
        << QStringLiteral(
               "Sorry!you can not change unit during updating table!\rPlease waiting for a moment.")
        << english;
    QTest::newRow("Apply while measuring")
        << true << false << true << false << Button::Apply << UnitAction::Refuse
        << QStringLiteral("对不起,正在数据测量中不能进行单位设置!\r请先停止测量,再进行该操作!") << chinese;
    QTest::newRow("Apply while a table is busy")
        << true << false << false << true << Button::Apply << UnitAction::Refuse
        << QStringLiteral("对不起,正在进行表格更新不能进行单位设置!\r请梢后再进行该操作.") << chinese;
}

void TestSetupLogic::unitChange()
{
    QFETCH(bool, unitCelsius);
    QFETCH(bool, celsiusSelected);
    QFETCH(bool, measuring);
    QFETCH(bool, tableBusy);
    QFETCH(Button, button);
    QFETCH(UnitAction, action);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    const SetupRules::UnitDecision decision =
        SetupRules::unitChange({unitCelsius, celsiusSelected, measuring, tableBusy}, button);
    QCOMPARE(decision.action, action);
    QCOMPARE(decision.refusal.text, text);
    QCOMPARE(decision.refusal.caption, caption);
}

void TestSetupLogic::portChange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("deviceBusy");
    QTest::addColumn<PortAction>("action");
    QTest::newRow("same name") << "/dev/ttyUSB0" << false << PortAction::Keep;
    QTest::newRow("same name while held") << "/dev/ttyUSB0" << true << PortAction::Keep;
    QTest::newRow("other letter case") << "/dev/TTYUSB0" << false << PortAction::Change;
    QTest::newRow("other port") << "ttyS1" << false << PortAction::Change;
    QTest::newRow("other port while held") << "ttyS1" << true << PortAction::Refuse;
    QTest::newRow("blank added") << "/dev/ttyUSB0 " << false << PortAction::Change;
}

void TestSetupLogic::portChange()
{
    QFETCH(QString, typed);
    QFETCH(bool, deviceBusy);
    QFETCH(PortAction, action);
    QCOMPARE(SetupRules::portChange(typed, QStringLiteral("/dev/ttyUSB0"), deviceBusy), action);
    const SetupRules::Message busy = SetupRules::portBusyMessage();
    QCOMPARE(busy.text, QStringLiteral("串口正被其它窗口使用！\r请关闭其它窗口应用程序"));
    QCOMPARE(busy.caption, QStringLiteral("Kelvora V0.1错误信息"));
}

void TestSetupLogic::thermometerValues_data()
{
    QTest::addColumn<qint32>("ems");
    QTest::addColumn<qint32>("emsStored");
    QTest::addColumn<QString>("emsShown");
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<QString>("modeShown");
    QTest::addColumn<qint32>("alarm");
    QTest::addColumn<QString>("alarmShown");
    QTest::newRow("usual") << 95 << 95 << "0.95" << qint16(1) << "MAX" << 365 << "36.5";
    QTest::newRow("lowest") << 10 << 10 << "0.1" << qint16(0) << "EMS" << 0 << "0";
    QTest::newRow("below the ranges") << 5 << 10 << "0.1" << qint16(-1) << "EMS" << -200 << "-20";
    QTest::newRow("above the ranges") << 120 << 100 << "1" << qint16(12) << "STO" << 65280 << "6528";
    QTest::newRow("highest") << 100 << 100 << "1" << qint16(7) << "STO" << -5 << "-0.5";
}

void TestSetupLogic::thermometerValues()
{
    QFETCH(qint32, ems);
    QFETCH(qint32, emsStored);
    QFETCH(QString, emsShown);
    QFETCH(qint16, mode);
    QFETCH(QString, modeShown);
    QFETCH(qint32, alarm);
    QFETCH(QString, alarmShown);
    QCOMPARE(ThermometerPage::clampedEmissivity(ems), emsStored);
    QCOMPARE(ThermometerPage::emissivityText(emsStored), emsShown);
    QCOMPARE(ThermometerPage::workModes().at(ThermometerPage::clampedWorkMode(mode)), modeShown);
    QCOMPARE(ThermometerPage::alarmText(alarm), alarmShown);
    QCOMPARE(ThermometerPage::workModes(),
             (QStringList{"EMS", "MAX", "MIN", "DIF", "AVG", "HAL", "LAL", "STO"}));
}

// Stable names are links in a folder of their own, leading to devices that
// the enumerated ports know by another path; here plain files stand in for
// the devices.
void TestSetupLogic::portList()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    for (const char *device : {"ttyUSB0", "ttyUSB1"}) {
        QFile f(root.filePath(QLatin1String(device)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(root.mkpath(QStringLiteral("by-id/a-folder")));
    const QString byId = root.filePath(QStringLiteral("by-id"));
    const auto link = [&](const QString &device, const QString &name) {
        return QFile::link(device, byId + QLatin1Char('/') + name);
    };
    // Listed by name, not in the order made; one link leads nowhere.
    QVERIFY(link(QStringLiteral("../ttyUSB1"), QStringLiteral("usb-Other_Adapter-if00-port0")));
    QVERIFY(
        link(root.filePath(QStringLiteral("ttyUSB0")), QStringLiteral("usb-Acme_IR-Link_A1B2-if00-port0")));
    QVERIFY(link(root.filePath(QStringLiteral("gone")), QStringLiteral("usb-Unplugged-if00-port0")));

    SerialPortSource source;
    source.ports = {
        {QStringLiteral("ttyS0"), QStringLiteral("/no/such/ttyS0"), {}, {}, {}},
        // Reached through a path that differs from the link's target.
        {QStringLiteral("ttyUSB0"), root.filePath(QStringLiteral("by-id/../ttyUSB0")),
         QStringLiteral("IR-Link"), QStringLiteral("Acme"), QStringLiteral("A1B2")},
        {QStringLiteral("ttyUSB1"),
         root.filePath(QStringLiteral("ttyUSB1")),
         {},
         QStringLiteral("Other"),
         {}},
        {QStringLiteral("ttyS0"), QStringLiteral("/no/such/ttyS0"), {}, {}, {}},
    };
    source.stableFolder = byId;
    const QString acme = byId + QStringLiteral("/usb-Acme_IR-Link_A1B2-if00-port0");
    const QString other = byId + QStringLiteral("/usb-Other_Adapter-if00-port0");
    const QList<SerialPortEntry> plain{{QStringLiteral("ttyS0"), QStringLiteral("ttyS0")},
                                       {QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0")},
                                       {QStringLiteral("ttyUSB1"), QStringLiteral("ttyUSB1")},
                                       {QStringLiteral("ttyS0"), QStringLiteral("ttyS0")}};
    const QList<SerialPortEntry> expected =
        QList<SerialPortEntry>{{acme, acme + QStringLiteral(" (IR-Link, Acme, serial A1B2)")},
                               {other, other + QStringLiteral(" (Other)")}} +
        plain;
    QCOMPARE(SerialPortList::entries(source), expected);

    // No adapter plugged in: the system has no such folder.
    source.stableFolder = root.filePath(QStringLiteral("no-such-folder"));
    QCOMPARE(SerialPortList::entries(source), plain);
}

QTEST_GUILESS_MAIN(TestSetupLogic)
#include "tst_setuplogic.moc"
