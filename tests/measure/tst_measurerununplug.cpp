// A live run survives the thermometer going away: the simulator behind the
// port ends in the middle of a run and comes back at the same path a few
// seconds later, while the port message is still open and nobody clicks; and
// a port named by a link follows the link to the device it leads to now.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "recordingsound.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestMeasureRunUnplug : public QObject {
    Q_OBJECT
private slots:
    void runGoesOnWhenTheDeviceIsBack();
    void runFollowsTheLinkToANewDevice();
};

namespace {

const QStringList Ramp{QStringLiteral("--profile"), QStringLiteral("ramp:200:15")};

// A measurement window running at one reading a second, with the first
// readings in.
QPointer<TForm5> startRun(const MeasureTable &rows)
{
    SystemVars.unitCelsius = true;
    QPointer<TForm5> window = new TForm5;
    SystemVars.measureWindow = window.data();
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return nullptr;
    if (!QTest::qWaitFor([] { return SystemVars.settingsRead; }, 5000))
        return nullptr;
    window->Edit2->setText(QStringLiteral("1"));
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    if (!SystemVars.measuring || !QTest::qWaitFor([&] { return rows.recordCount() >= 2; }, 8000))
        return nullptr;
    return window;
}

// Stops the run and checks that the rows hold the first ramp up to the
// unplug, then every reading that the thermometer behind log gave, from the
// start of its ramp, each once and numbered on without a gap.
void stopAndCheckRows(TForm5 *window, const MeasureTable &rows, int rowsBefore, const QString &log)
{
    QTest::mouseClick(window->BitBtn8, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Simulator::commandsIn(log).contains(QStringLiteral("ATU")), 5000);
    const int afterReads = int(Simulator::commandsIn(log).count(QStringLiteral("ATR")));
    QVERIFY(afterReads >= 2);
    QTRY_COMPARE_WITH_TIMEOUT(rows.recordCount(), rowsBefore + afterReads, 5000);
    for (int i = 0; i < rows.recordCount(); ++i) {
        const MeasureRecord &row = rows.rows().at(i);
        const int step = i < rowsBefore ? i : i - rowsBefore;
        QCOMPARE(row.recno, qint64(i + 1));
        QCOMPARE(row.meavalue, 20.0 + 1.5 * step);
    }
}

} // namespace

void TestMeasureRunUnplug::runGoesOnWhenTheDeviceIsBack()
{
    ProgramEnv env;
    RecordingSound sound;
    const QString path = env.dir.path("thermometer");
    auto sim = std::make_unique<Simulator>(path, env.dir.path("before.log"), Ramp);
    QVERIFY(sim->running());
    env.dir.writeSettings(path);
    TForm6 link;
    link.FormCreate();
    TickWatch watch(link);
    const MeasureTable &rows = link.Table1;

    QPointer<TForm5> window = startRun(rows);
    QVERIFY(window);

    // The port message stays open, as a real box does with nobody at the
    // desk. Once the link shows the thermometer gone, it comes back, and the
    // box is answered only when readings have resumed.
    bool fellWhileOpen = false;
    int fellAtTick = -1;
    int rowsAtFall = -1;
    bool resumedWhileOpen = false;
    QObject context;
    env.dialogs.holdOpen(30000, [&] {
        if (!fellWhileOpen && !SystemVars.connected) {
            fellWhileOpen = true;
            fellAtTick = watch.fellAtTick;
            rowsAtFall = rows.recordCount();
            // Away for a few seconds in all.
            QTimer::singleShot(2000, &context, [&] {
                sim = std::make_unique<Simulator>(path, env.dir.path("after.log"), Ramp);
            });
        }
        resumedWhileOpen = fellWhileOpen && rows.recordCount() > rowsAtFall;
        return resumedWhileOpen;
    });
    sim.reset(); // unplugged
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.portOpen, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(env.dialogs.shown.size(), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!env.dialogs.isOpen(), 40000);
    QVERIFY(fellWhileOpen);
    QCOMPARE(fellAtTick, 4);
    QVERIFY(resumedWhileOpen);
    QVERIFY(sim && sim->running());
    QCOMPARE(env.dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));

    // Still the same run; a few more readings, then Stop.
    QVERIFY(SystemVars.measuring);
    QCOMPARE(SystemVars.commState, qint16(CommMeasuring));
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() >= rowsAtFall + 2, 8000);
    stopAndCheckRows(window, rows, rowsAtFall, env.dir.path("after.log"));
    QCOMPARE(env.dialogs.shown.size(), 1);

    delete window;
}

// The port is a stable name such as the system gives a USB adapter: a link
// that leads to whatever device the adapter got this time. The adapter comes
// back as another device and the link is pointed at it; the run goes on
// through the new device, read from the link again, without a message.
void TestMeasureRunUnplug::runFollowsTheLinkToANewDevice()
{
    ProgramEnv env;
    RecordingSound sound;
    const QString stable = env.dir.path("usb-Acme_IR-Link_A1B2-if00-port0");
    auto first = std::make_unique<Simulator>(stable, env.dir.path("first.log"), Ramp);
    QVERIFY(first->running());
    env.dir.writeSettings(stable);
    TForm6 link;
    link.FormCreate();
    const MeasureTable &rows = link.Table1;
    QPointer<TForm5> window = startRun(rows);
    QVERIFY(window);

    // The second device is made while the first still exists, so it cannot
    // get the first one's number: a program that kept the device the link
    // led to at the start would look for a device that is gone. Making it
    // points the link at it; the first then ends.
    const QString secondLog = env.dir.path("second.log");
    Simulator second(stable, secondLog, Ramp);
    QVERIFY(second.running());
    QVERIFY(second.slave() != first->slave());
    QCOMPARE(QFileInfo(stable).symLinkTarget(), second.slave());
    QVERIFY(SystemVars.portOpen);
    first.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.portOpen, 3000);
    // Nothing more of the first device can come; the port is reopened on
    // the next poll tick at the earliest.
    const int rowsBefore = rows.recordCount();
    QTRY_VERIFY_WITH_TIMEOUT(Simulator::commandsIn(secondLog).count(QStringLiteral("ATR")) >= 2, 10000);

    QVERIFY(SystemVars.measuring);
    QCOMPARE(SystemVars.commState, qint16(CommMeasuring));
    QCOMPARE(link.MSComm1.deviceName(), stable);
    stopAndCheckRows(window, rows, rowsBefore, secondLog);
    QVERIFY(env.dialogs.shown.isEmpty());

    delete window;
}

QTEST_MAIN(TestMeasureRunUnplug)
#include "tst_measurerununplug.moc"
