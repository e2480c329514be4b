// The setup window: what it shows of SystemVars on its four pages, OK,
// Apply, Cancel and the close box in every situation that decides their
// outcome, a change of unit reaching the three data windows, a change of
// port to another thermometer, the accelerating alarm steppers, the
// thermometer page, the settings file at the end of the program, and
// opening through the main window.
#include "analysis/klgload.h"
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "measure/datachart.h"
#include "setup/Option.h"
#include "setup/alarmstepper.h"
#include "setup/logic/serialportlist.h"
#include "shell/MAIN.h"
#include "storetestsupport.h"

#include <QAccessible>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

enum class Press { Ok, Apply, Cancel, CloseBox };

// What holds the thermometer or a table while the button is pressed.
enum Held { Nothing = 0, Measuring = 1, Downloading = 2, FillingTable = 4 };

const QString Chinese = QStringLiteral("Kelvora V0.1错误信息");
const QString English = QStringLiteral("Kelvora V0.1 Error Information");
const QString PortBusy = QStringLiteral("串口正被其它窗口使用！\r请关闭其它窗口应用程序");
// The machine's serial ports in the order the system lists them.
const QStringList Ports{QStringLiteral("ttyUSB1"), QStringLiteral("ttyS0"), QStringLiteral("ttyUSB1")};

QList<SerialPortDetails> portsNamed(const QStringList &names)
{
    QList<SerialPortDetails> ports;
    for (const QString &name : names)
        ports << SerialPortDetails{name, QStringLiteral("/dev/") + name, {}, {}, {}};
    return ports;
}

// A data window as the setup window sees one: it notes every change of unit.
class UnitListener final : public QObject {
public:
    UnitListener(const char *name, QStringList &told) : m_told(told) { setObjectName(QLatin1String(name)); }
    bool event(QEvent *event) override
    {
        if (event->type() == WM_CHANGEUNIT)
            m_told << objectName();
        return QObject::event(event);
    }

private:
    QStringList &m_told;
};

QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// The text of the label that assistive technology gives as the control's label.
QString accessibleLabel(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    const auto labels = iface ? iface->relations(QAccessible::Label) : decltype(iface->relations())();
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// A log file as the measurement window saves it.
QByteArray logFile(const QList<double> &values)
{
    QByteArray out = "@Quellmarkon KLG File\r\nTotal:" + QByteArray::number(values.size()) + "\r\n";
    for (int i = 0; i < values.size(); ++i)
        out += QStringLiteral("2024-05-01,10:00:%1,%2,0.95,C\r\n")
                   .arg(i, 2, 10, QLatin1Char('0'))
                   .arg(QString::number(values.at(i), 'f', 1), -6)
                   .toLatin1();
    return out;
}

QString unitOf(const MeasureTable &table)
{
    return table.rows().isEmpty() ? QString() : table.rows().first().unit;
}

} // namespace

Q_DECLARE_METATYPE(Press)

class TestSetupWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pagesShowTheSettings();
    void buttons_data();
    void buttons();
    void unitChangeReachesTheThreeDataWindows();
    void portChangeMovesToAnotherThermometer();
    void stableNamePickedFromTheList();
    void closedDuringThePortChange_data();
    void closedDuringThePortChange();
    void refusedPortChangeThenThePortInUse();
    void steppers_data();
    void steppers();
    void heldArrowAcceleratesUntilReleased();
    void releaseAnywhereEndsTheSpeedUp_data();
    void releaseAnywhereEndsTheSpeedUp();
    void limitsOutsideTheRangeStayUntilStepped();
    void thermometerPage_data();
    void thermometerPage();
    void settingsFileWrittenAtTheEndOnly();
    void openedThroughMainWindow();

private:
    void startLink(const QString &settings);
    void connectToSimulator();
    TForm8 *openWindow();
    void press(Press button);
    // Lets a released window go.
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QString simPath() const { return m_env->dir.path(QStringLiteral("thermometer")); }

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TForm6> m_link;
    QPointer<TForm8> m_window;
};

void TestSetupWindow::init()
{
    m_env = std::make_unique<ProgramEnv>();
    // Machines that run the tests often have no serial port at all, and no
    // adapter with a stable name.
    SerialPortList::setSource(SerialPortSource{portsNamed(Ports), m_env->dir.path(QStringLiteral("by-id"))});
}

void TestSetupWindow::cleanup()
{
    delete m_window;
    m_link.reset();
    m_sim.reset();
    m_env.reset();
    SerialPortList::setSource(std::nullopt);
}

void TestSetupWindow::startLink(const QString &settings)
{
    m_env->dir.writeFile(QStringLiteral("KELVORA.INI"), "[Kelvora OPTIONS]\n" + settings.toUtf8());
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
}

// The link on the simulator, with its settings reply in.
void TestSetupWindow::connectToSimulator()
{
    m_sim = std::make_unique<Simulator>(simPath(), m_env->dir.path(QStringLiteral("sim.log")));
    QVERIFY(m_sim->running());
    startLink(QStringLiteral("SEARIAL_PORT=%1\nSYSTEMLAL=2500\nSYSTEMHAL=5000\nCOMPANY_NAME=Acme\n")
                  .arg(simPath()));
    m_link->OpenPort();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
}

TForm8 *TestSetupWindow::openWindow()
{
    SystemVars.setupMenuEnabled = false; // as the main window does when it opens the window
    m_window = new TForm8;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        qWarning("window not exposed");
    return m_window;
}

void TestSetupWindow::press(Press button)
{
    switch (button) {
    case Press::Ok: m_window->BitBtn1->click(); break;
    case Press::Apply: m_window->BitBtn3->click(); break;
    case Press::Cancel: m_window->BitBtn2->click(); break;
    case Press::CloseBox: m_window->close(); break;
    }
    settle();
}

// Every page as the settings leave it, in its order, with the PC page in
// front; the fixed line settings; every control named through its label.
void TestSetupWindow::pagesShowTheSettings()
{
    startLink(
        QStringLiteral("SEARIAL_PORT=/tmp/no-such-port\nCOMPANY_NAME=Acme Lab\nUNIT_CF=0\nALARMONOFF=0\n"
                       "SYSTEMLAL=365\nSYSTEMHAL=-200\n"));
    openWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Software System Setup"));
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = m_window->PageControl1;
    QStringList titles;
    for (int i = 0; i < pages->count(); ++i)
        titles << pages->tabText(i);
    QCOMPARE(titles, (QStringList{"Serial Port Setting", "Infrared Thermometer Setting",
                                  "PC Software Setting", "Miscellaneous Option"}));
    QCOMPARE(pages->currentWidget(), m_window->TabSheet3);
    QVERIFY(m_window->pcPageShown());

    // The machine's ports as the system lists them, unsorted and with a
    // duplicate kept; the port in use is the text even though it is not in
    // the list.
    QStringList listed;
    for (int i = 0; i < m_window->ComboBox1->count(); ++i)
        listed << m_window->ComboBox1->itemText(i);
    QCOMPARE(listed, Ports);
    QVERIFY(m_window->ComboBox1->isEditable());
    QCOMPARE(m_window->ComboBox1->currentText(), QStringLiteral("/tmp/no-such-port"));
    QStringList line;
    for (QLineEdit *field : {m_window->Edit4, m_window->Edit5, m_window->Edit6, m_window->Edit7}) {
        line << field->text();
        QVERIFY(!field->isEnabled());
    }
    QCOMPARE(line, (QStringList{"19200", "8", "1", "N"}));

    QCOMPARE(m_window->Edit12->text(), QStringLiteral("36.5"));
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("-20"));
    QVERIFY(!m_window->Edit12->isEnabled() && !m_window->Edit14->isEnabled());
    QVERIFY(m_window->RadioButton2->isChecked() && !m_window->RadioButton1->isChecked());
    QVERIFY(m_window->RadioButton4->isChecked() && !m_window->RadioButton3->isChecked());
    QCOMPARE(m_window->Edit8->text(), QStringLiteral("Acme Lab"));
    QVERIFY(!m_window->Edit8->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(m_window->ProgressBar1->minimum(), 0);
    QCOMPARE(m_window->ProgressBar1->maximum(), 100);
    QCOMPARE(m_window->BitBtn1->text() + m_window->BitBtn2->text() + m_window->BitBtn3->text(),
             QStringLiteral("OkCancelApply"));

    // Fields and boxes are named by the label that is their buddy; steppers,
    // their arrows, the groups and the choices by their own names.
    QHash<QWidget *, QString> buddies;
    for (QLabel *label : m_window->findChildren<QLabel *>())
        if (label->buddy())
            buddies.insert(label->buddy(), label->text());
    for (QWidget *control : m_window->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control)) {
            if (control->parentWidget() && qobject_cast<QComboBox *>(control->parentWidget()))
                continue; // the line edit inside the port box
            QVERIFY2(buddies.contains(control), qPrintable(control->objectName()));
            QCOMPARE(accessibleLabel(control), buddies.value(control));
        } else if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QGroupBox *>(control) ||
                   qobject_cast<AlarmStepper *>(control)) {
            QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(control->objectName()));
        }
    }
    QCOMPARE(accessibleName(m_window->UpDown4->upArrow()), QStringLiteral("Increase Low Temp. Alarm"));
    QCOMPARE(accessibleName(m_window->UpDown5->downArrow()), QStringLiteral("Decrease High Temp. Alarm"));
}

void TestSetupWindow::buttons_data()
{
    QTest::addColumn<Press>("button");
    QTest::addColumn<bool>("toFahrenheit");
    QTest::addColumn<int>("held");
    QTest::addColumn<QString>("port");         // typed: "same", "upper" (letter case), "other"
    QTest::addColumn<QStringList>("open");     // data windows open
    QTest::addColumn<QStringList>("messages"); // "caption|text"; a text ending in '*' matches its start
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<bool>("taken"); // company name, alarm sound and limits taken
    QTest::addColumn<bool>("celsiusAfter");
    QTest::addColumn<QStringList>("told"); // windows told of a unit change, in order
    QTest::addColumn<bool>("portChanged");

    const QStringList all{"Form7", "Form5", "Form4"};
    const QStringList none;
    const auto message = [](const QString &caption, const QString &text) {
        return QStringList{caption + '|' + text};
    };

    QTest::newRow("OK, unit unchanged") << Press::Ok << false << int(Nothing) << "same" << all << none
                                        << false << true << true << none << false;
    QTest::newRow("OK, unit changed, no data window") << Press::Ok << true << int(Nothing) << "same" << none
                                                      << none << false << true << false << none << false;
    QTest::newRow("OK, unit changed, data view open")
        << Press::Ok << true << int(Nothing) << "same" << QStringList{"Form7"} << none << false << true
        << false << QStringList{"Form7"} << false;
    QTest::newRow("OK, unit changed, measurement open")
        << Press::Ok << true << int(Nothing) << "same" << QStringList{"Form5"} << none << false << true
        << false << QStringList{"Form5"} << false;
    QTest::newRow("OK, unit changed, import open")
        << Press::Ok << true << int(Nothing) << "same" << QStringList{"Form4"} << none << false << true
        << false << QStringList{"Form4"} << false;
    QTest::newRow("OK, unit changed, all three open") << Press::Ok << true << int(Nothing) << "same" << all
                                                      << none << false << true << false << all << false;
    QTest::newRow("OK, unit changed while measuring")
        << Press::Ok << true << int(Measuring) << "same" << all
        << message(English, "Sorry!you can not change unit during measuring.!\rStop measuring first,Please!")
        << true << true << true << none << false;
    QTest::newRow("OK, unit changed while a table is filled")
        << Press::Ok << true << int(Downloading | FillingTable) << "same" << all
        << message(English,
                   "Sorry!you can not change unit during updating table!\rPlease waiting for a moment.")
        << true << true << true << none << false;
    QTest::newRow("Apply, unit changed") << Press::Apply << true << int(Nothing) << "same" << all << none
                                         << true << true << false << all << false;
    QTest::newRow("Apply, unit changed while measuring")
        << Press::Apply << true << int(Measuring) << "same" << all
        << message(Chinese,
                   QStringLiteral("对不起,正在数据测量中不能进行单位设置!\r请先停止测量,再进行该操作!"))
        << true << true << true << none << false;
    QTest::newRow("Apply, unit changed while a table is filled")
        << Press::Apply << true << int(FillingTable) << "same" << all
        << message(Chinese, QStringLiteral("对不起,正在进行表格更新不能进行单位设置!\r请梢后再进行该操作."))
        << true << true << true << none << false;
    QTest::newRow("OK, unit kept while measuring") << Press::Ok << false << int(Measuring) << "same" << all
                                                   << none << false << true << true << none << false;
    QTest::newRow("Cancel") << Press::Cancel << true << int(Nothing) << "other" << all << none << false
                            << false << true << none << false;
    QTest::newRow("close box") << Press::CloseBox << true << int(Nothing) << "other" << all << none << false
                               << false << true << none << false;
    QTest::newRow("OK, same name in other letter case")
        << Press::Ok << false << int(Nothing) << "upper" << none << message(QString(), "Port *") << true
        << true << true << none << true;
    QTest::newRow("OK, port changed while a measurement holds the line")
        << Press::Ok << false << int(Measuring) << "other" << none << message(Chinese, PortBusy) << true
        << true << true << none << false;
    QTest::newRow("Apply, port changed while a download holds the line")
        << Press::Apply << true << int(Downloading) << "other" << all << message(Chinese, PortBusy) << true
        << true << false << all << false;
}

// OK, Apply, Cancel and the close box: what is taken, what the data
// windows hear, the port, the messages and whether the window stays.
void TestSetupWindow::buttons()
{
    QFETCH(Press, button);
    QFETCH(bool, toFahrenheit);
    QFETCH(int, held);
    QFETCH(QString, port);
    QFETCH(QStringList, open);
    QFETCH(QStringList, messages);
    QFETCH(bool, staysOpen);
    QFETCH(bool, taken);
    QFETCH(bool, celsiusAfter);
    QFETCH(QStringList, told);
    QFETCH(bool, portChanged);

    connectToSimulator();
    QStringList heard;
    UnitListener analyze("Form7", heard), measure("Form5", heard), import("Form4", heard);
    TSystemVars &v = SystemVars;
    v.analyzeWindow = open.contains("Form7") ? &analyze : nullptr;
    v.measureWindow = open.contains("Form5") ? &measure : nullptr;
    v.importWindow = open.contains("Form4") ? &import : nullptr;
    v.measuring = held & Measuring;
    v.deviceBusy = held & (Measuring | Downloading);
    v.tableBusy = held & FillingTable;
    const qint16 commState = (held & Measuring)     ? CommMeasuring
                             : (held & Downloading) ? CommDownloading
                                                    : CommIdle;
    v.commState = commState;

    openWindow();
    m_window->Edit8->setText(QStringLiteral("Kelvin & Sons"));
    m_window->RadioButton4->setChecked(true);
    m_window->UpDown4->arrowStep(true);
    m_window->UpDown5->arrowStep(false);
    (toFahrenheit ? m_window->RadioButton2 : m_window->RadioButton1)->setChecked(true);
    const QString typed = port == QLatin1String("same")    ? simPath()
                          : port == QLatin1String("upper") ? m_env->dir.path(QStringLiteral("THERMOMETER"))
                                                           : m_env->dir.path(QStringLiteral("other"));
    m_window->ComboBox1->setEditText(typed);

    press(button);

    QCOMPARE(m_window.isNull(), !staysOpen);
    QCOMPARE(v.setupMenuEnabled, !staysOpen);
    if (staysOpen) {
        QVERIFY(m_window->BitBtn1->isEnabled() && m_window->BitBtn3->isEnabled());
        QCOMPARE(m_window->setupFailed(), port == QLatin1String("other"));
    }
    QCOMPARE(v.companyName, taken ? QStringLiteral("Kelvin & Sons") : QStringLiteral("Acme"));
    QCOMPARE(v.alarmOn, !taken);
    QCOMPARE(v.systemLal, taken ? 250.5 : 250.0);
    QCOMPARE(v.systemHal, taken ? 499.5 : 500.0);
    QCOMPARE(v.unitCelsius, celsiusAfter);
    QCOMPARE(heard, told);
    // The window never takes the line from a measurement or a download.
    QCOMPARE(v.commState, commState);

    QCOMPARE(m_env->dialogs.shown.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i) {
        const ScriptedDialogs::Shown &shown = m_env->dialogs.shown.at(i);
        const QString caption = messages.at(i).section('|', 0, 0);
        const QString text = messages.at(i).section('|', 1);
        QCOMPARE(shown.caption, caption);
        if (text.endsWith('*'))
            QVERIFY2(shown.text.startsWith(text.chopped(1)), qPrintable(shown.text));
        else
            QCOMPARE(shown.text, text);
        QCOMPARE(shown.icon, Dialogs::Icon::Error);
        QCOMPARE(shown.buttons, Dialogs::Buttons(Dialogs::Ok));
    }

    if (portChanged) {
        // The new name is configured; it cannot be opened, so the poll keeps trying it.
        QCOMPARE(v.serialPort, typed);
        QVERIFY(!v.portOpen && !m_link->MSComm1.isOpen());
    } else {
        // The link was not touched: still open, its settings reply still counts.
        QCOMPARE(v.serialPort, simPath());
        QVERIFY(v.portOpen && m_link->MSComm1.isOpen() && v.settingsRead);
    }
    v.analyzeWindow = v.measureWindow = v.importWindow = nullptr;
}

// OK with the measurement, import and data view windows open: each table,
// chart and statistics converted, the data view's first and the import's
// last, each before the next window hears of it; the limits and the
// thermometer's own values keep their numbers.
void TestSetupWindow::unitChangeReachesTheThreeDataWindows()
{
    startLink(QStringLiteral("SYSTEMLAL=2500\nSYSTEMHAL=5000\nHAL_VALUE=-200\nLAL_VALUE=300\nEMS=95\n"));
    TSystemVars &v = SystemVars;
    QVERIFY(v.unitCelsius);
    v.portOpen = true; // the poll stays away from a port that is not there

    QPointer<TForm7> analyze = new TForm7;
    v.analyzeWindow = analyze.data();
    v.analyzeWindowOpen = true;
    QPointer<TForm5> measure = new TForm5;
    v.measureWindow = measure.data();
    QPointer<TForm4> import = new TForm4;
    v.importWindow = import.data();
    auto closeAll = qScopeGuard([&] {
        delete analyze;
        delete measure;
        delete import;
    });
    for (QWidget *w :
         {static_cast<QWidget *>(analyze), static_cast<QWidget *>(measure), static_cast<QWidget *>(import)})
        w->show();

    m_env->dir.writeFile(QStringLiteral("a.klg"), logFile({300.0, 36.6}));
    m_env->dialogs.fileAnswers << m_env->dir.path(QStringLiteral("a.klg"));
    analyze->LoadData();
    for (int tenths : {200, 300}) {
        v.lastValue = tenths;
        v.lastEms = 95;
        sendWindowMessage(v.measureWindow, WM_NEWREADING);
    }
    const QList<qint32> records{253, 366, 5100};
    for (int i = 0; i < records.size(); ++i) {
        v.logValues[std::size_t(i)] = records.at(i);
        v.logEms[std::size_t(i)] = 95;
    }
    v.logCount = qint16(records.size());
    import->fillTable();

    // Which tables were converted when each window heard of the change.
    QStringList heard;
    const auto filter = std::make_unique<QObject>();
    struct Spy : QObject {
        std::function<void(QObject *)> seen;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == WM_CHANGEUNIT)
                seen(watched);
            return false;
        }
    } spy;
    spy.seen = [&](QObject *window) {
        heard << window->objectName() + ':' + unitOf(m_link->Table3) + unitOf(m_link->Table1) +
                     unitOf(m_link->Table2);
    };
    qApp->installEventFilter(&spy);

    openWindow();
    m_window->RadioButton2->setChecked(true);
    press(Press::Ok);
    qApp->removeEventFilter(&spy);

    QVERIFY(m_window.isNull());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QVERIFY(!v.unitCelsius);
    // LoadData, MeaData, GetRecorde in turn.
    QCOMPARE(heard, (QStringList{"Form7:CCC", "Form5:FCC", "Form4:FFC"}));

    QCOMPARE(meaValues(m_link->Table3), (QList<double>{572.0, 97.9}));
    QCOMPARE(analyze->Chart1->seriesData(0), (QVector<double>{572.0, 97.9}));
    QCOMPARE(analyze->Edit2->text() + ' ' + analyze->Edit3->text(), QStringLiteral("97.9 572.0"));
    QVERIFY(!analyze->windowCelsius());

    QCOMPARE(meaValues(m_link->Table1), (QList<double>{68.0, 86.0}));
    QCOMPARE(measure->Chart1->seriesData(0), (QVector<double>{68.0, 86.0}));
    QVERIFY(measure->Chart1->footer().value(0).contains(QStringLiteral("MAX:     86.0")));
    QVERIFY(measure->Chart1->footer().value(0).contains(QStringLiteral("AVG:     77.0")));
    QVERIFY(!measure->windowCelsius());

    QCOMPARE(meaValues(m_link->Table2), (QList<double>{77.5, 97.9, 950.0}));
    QCOMPARE(import->Chart1->seriesData(0), (QVector<double>{77.5, 97.9, 950.0}));
    QCOMPARE(QStringList({import->Edit1->text(), import->Edit2->text(), import->Edit3->text()}),
             (QStringList{"950.0", "77.5", "375.1"}));
    QVERIFY(!import->windowCelsius());

    QCOMPARE(v.systemLal, 250.0);
    QCOMPARE(v.systemHal, 500.0);
    QCOMPARE(v.halValue, -200);
    QCOMPARE(v.lalValue, 300);
    QCOMPARE(v.emsValue, 95);
}

// A second thermometer on another path: OK itself closes the old port and
// opens the new one, without waiting for the link's poll, and asks the new
// thermometer for its settings.
void TestSetupWindow::portChangeMovesToAnotherThermometer()
{
    connectToSimulator();
    const QString otherPath = m_env->dir.path(QStringLiteral("thermometer2"));
    Simulator other(otherPath, m_env->dir.path(QStringLiteral("sim2.log")));
    QVERIFY(other.running());

    openWindow();
    m_window->ComboBox1->setEditText(otherPath);
    press(Press::Ok);
    QVERIFY(m_window.isNull());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(SystemVars.serialPort, otherPath);
    QVERIFY(SystemVars.portOpen && m_link->MSComm1.isOpen());
    QCOMPARE(m_link->MSComm1.deviceName(), otherPath);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    QTRY_VERIFY(other.commands().contains(QStringLiteral("ATA")));
}

// An adapter listed by its stable name, with what is known of it: picked from
// the list, the port becomes that name, not the text shown nor the tty the
// name leads to, and the settings file keeps it so.
void TestSetupWindow::stableNamePickedFromTheList()
{
    connectToSimulator();
    QVERIFY(QDir().mkpath(m_env->dir.path(QStringLiteral("by-id"))));
    const QString stable = m_env->dir.path(QStringLiteral("by-id/usb-Acme_IR-Link_A1B2-if00-port0"));
    Simulator other(stable, m_env->dir.path(QStringLiteral("sim2.log")));
    QVERIFY(other.running());
    const SerialPortDetails adapter{QFileInfo(other.slave()).fileName(), other.slave(),
                                    QStringLiteral("IR-Link"), QStringLiteral("Acme"),
                                    QStringLiteral("A1B2")};
    SerialPortList::setSource(
        SerialPortSource{portsNamed(Ports) << adapter, m_env->dir.path(QStringLiteral("by-id"))});

    openWindow();
    const int listed = m_window->ComboBox1->findData(stable);
    QCOMPARE(listed, 0);
    QCOMPARE(m_window->ComboBox1->itemText(listed), stable + QStringLiteral(" (IR-Link, Acme, serial A1B2)"));
    m_window->ComboBox1->setCurrentIndex(listed);
    press(Press::Ok);
    QVERIFY(m_window.isNull());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(SystemVars.serialPort, stable);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    QTRY_VERIFY(other.commands().contains(QStringLiteral("ATA")));

    m_link->FormClose();
    const QByteArray settings = m_env->dir.readFile(QStringLiteral("KELVORA.INI"));
    const QStringList lines = QString::fromUtf8(settings).split(QRegularExpression(QStringLiteral("\r?\n")));
    QVERIFY2(lines.contains(QStringLiteral("SEARIAL_PORT=") + stable), settings.constData());
}

void TestSetupWindow::closedDuringThePortChange_data()
{
    QTest::addColumn<Press>("leaveBy");
    QTest::newRow("Cancel") << Press::Cancel;
    QTest::newRow("close box") << Press::CloseBox;
}

// The port change waits for the new thermometer; the user leaves the window
// meanwhile, while OK and Apply cannot be pressed again. OK ends with the wait.
void TestSetupWindow::closedDuringThePortChange()
{
    QFETCH(Press, leaveBy);
    connectToSimulator();
    const QString otherPath = m_env->dir.path(QStringLiteral("thermometer2"));
    Simulator other(otherPath, m_env->dir.path(QStringLiteral("sim2.log")));
    QVERIFY(other.running());
    openWindow();
    m_window->ComboBox1->setEditText(otherPath);

    bool buttonsOffDuringTheWait = false;
    QTimer::singleShot(100, m_window, [&] {
        buttonsOffDuringTheWait = !m_window->BitBtn1->isEnabled() && !m_window->BitBtn3->isEnabled();
        press(leaveBy);
    });
    press(Press::Ok);
    QTRY_VERIFY(m_window.isNull());
    QVERIFY(buttonsOffDuringTheWait);
    QVERIFY(SystemVars.setupMenuEnabled);
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(SystemVars.serialPort, otherPath);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
}

// OK refused a port change while a measurement held the line; with the port
// in use typed again, nothing is left to fail and OK closes the window.
void TestSetupWindow::refusedPortChangeThenThePortInUse()
{
    connectToSimulator();
    SystemVars.deviceBusy = true;
    SystemVars.measuring = true;
    SystemVars.commState = CommMeasuring;
    openWindow();
    m_window->ComboBox1->setEditText(m_env->dir.path(QStringLiteral("other")));
    press(Press::Ok);
    QVERIFY(m_window && m_window->setupFailed());
    QCOMPARE(m_env->dialogs.texts(), QStringList{PortBusy});

    m_window->ComboBox1->setEditText(simPath());
    press(Press::Ok);
    QVERIFY(m_window.isNull());
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(SystemVars.serialPort, simPath());
    QCOMPARE(SystemVars.commState, qint16(CommMeasuring));
}

void TestSetupWindow::steppers_data()
{
    QTest::addColumn<int>("events"); // steps up on UpDown4 from 200.0 degrees
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("step");
    QTest::newRow("1") << 1 << "200.5" << 5;
    QTest::newRow("4") << 4 << "202" << 5;
    QTest::newRow("5") << 5 << "202.5" << 50;
    QTest::newRow("30") << 30 << "327.5" << 50;
    QTest::newRow("31") << 31 << "332.5" << 100;
    QTest::newRow("51") << 51 << "532.5" << 200;
    QTest::newRow("101") << 101 << "1532.5" << 500;
    // 21825 + 500 overshoots: the stepper stops at its top, and so does the text.
    QTest::newRow("115, the top reached") << 115 << "2200" << 500;
    QTest::newRow("150, at the top") << 150 << "2200" << 500;
    QTest::newRow("151, at the top") << 151 << "2200" << 1000;
}

// The shown value and the step after a number of step events, then the
// mouse button released on the stepper: its last step, then back to 5.
void TestSetupWindow::steppers()
{
    QFETCH(int, events);
    QFETCH(QString, shown);
    QFETCH(int, step);
    startLink(QStringLiteral("SYSTEMLAL=2000\nSYSTEMHAL=2000\n"));
    openWindow();
    AlarmStepper *stepper = m_window->UpDown4;
    for (int i = 0; i < events; ++i)
        stepper->arrowStep(true);
    QCOMPARE(m_window->Edit12->text(), shown);
    QCOMPARE(stepper->step(), step);
    QCOMPARE(m_window->stepCount(), quint32(events));

    // The release comes with one last step down by the step in force.
    const int count = stepper->count();
    QTest::mouseClick(stepper->downArrow(), Qt::LeftButton);
    QCOMPARE(stepper->count(), std::max(count - step, TForm8::AlarmMinimum));
    QCOMPARE(m_window->stepCount(), 0u);
    QCOMPARE(stepper->step(), 5);
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("200"));

    // Nothing below the bottom: the text shows where the stepper stays.
    StepperCount bottom(2000, 22000, 2000, 5);
    m_window->UpDown5->arrowStep(false);
    QCOMPARE(m_window->UpDown5->count(), bottom.count());
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("200"));
    QCOMPARE(m_window->stepCount(), 1u);
}

// A held arrow repeats with a growing step; one count for both steppers;
// releasing the button starts over.
void TestSetupWindow::heldArrowAcceleratesUntilReleased()
{
    startLink(QStringLiteral("SYSTEMLAL=3000\nSYSTEMHAL=3000\n"));
    openWindow();
    for (int i = 0; i < 3; ++i)
        m_window->UpDown4->arrowStep(true);
    for (int i = 0; i < 2; ++i)
        m_window->UpDown5->arrowStep(true);
    QCOMPARE(m_window->stepCount(), 5u);
    QCOMPARE(m_window->UpDown5->step(), 50);
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("301"));
    QTest::mouseClick(m_window->UpDown5->upArrow(), Qt::LeftButton);
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("306"));
    QCOMPARE(m_window->stepCount(), 0u);

    QToolButton *arrow = m_window->UpDown4->upArrow();
    QTest::mousePress(arrow, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return m_window->stepCount() >= 6; }, 5000));
    QCOMPARE(m_window->UpDown4->step(), 50);
    QTest::mouseRelease(arrow, Qt::LeftButton);
    QCOMPARE(m_window->stepCount(), 0u);
    QCOMPARE(m_window->UpDown4->step(), 5);
    QVERIFY(m_window->UpDown4->count() > 3015 + 50);
}

void TestSetupWindow::releaseAnywhereEndsTheSpeedUp_data()
{
    QTest::addColumn<bool>("moveOff"); // the pointer leaves the arrow before the release
    QTest::addColumn<bool>("releaseOff");
    QTest::newRow("released on the arrow") << false << false;
    QTest::newRow("moved off, released there") << true << true;
    QTest::newRow("released off the arrow") << false << true;
    QTest::newRow("moved off and back") << true << false;
}

// However the held button ends, the next single click moves half a degree.
void TestSetupWindow::releaseAnywhereEndsTheSpeedUp()
{
    QFETCH(bool, moveOff);
    QFETCH(bool, releaseOff);
    startLink(QStringLiteral("SYSTEMLAL=3000\nSYSTEMHAL=3000\n"));
    openWindow();
    AlarmStepper *stepper = m_window->UpDown4;
    QToolButton *arrow = stepper->upArrow();
    const QPoint on = arrow->rect().center();
    const QPoint off = on + QPoint(0, 4 * arrow->height()); // on neither arrow
    QTest::mousePress(arrow, Qt::LeftButton, {}, on);
    QVERIFY(QTest::qWaitFor([&] { return m_window->stepCount() >= 6; }, 5000));
    QCOMPARE(stepper->step(), 50);
    if (moveOff)
        QTest::mouseMove(arrow, off);
    if (moveOff && !releaseOff)
        QTest::mouseMove(arrow, on);
    QTest::mouseRelease(arrow, Qt::LeftButton, {}, releaseOff ? off : on);
    QCOMPARE(m_window->stepCount(), 0u);
    QCOMPARE(stepper->step(), 5);

    const int count = stepper->count();
    QTest::mouseClick(arrow, Qt::LeftButton, {}, on);
    QCOMPARE(stepper->count(), count + 5);
    QCOMPARE(m_window->Edit12->text(), QString::number((count + 5) / 10.0));
}

// The default limits of 0 lie below the steppers' range: the page shows
// them as they are, OK keeps them, and the first step starts at the range.
void TestSetupWindow::limitsOutsideTheRangeStayUntilStepped()
{
    startLink(QStringLiteral("SYSTEMLAL=0\nSYSTEMHAL=250000\n"));
    openWindow();
    QCOMPARE(m_window->Edit12->text(), QStringLiteral("0"));
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("25000"));
    press(Press::Apply);
    QCOMPARE(SystemVars.systemLal, 0.0);
    QCOMPARE(SystemVars.systemHal, 25000.0);

    m_window->UpDown4->arrowStep(true);
    m_window->UpDown5->arrowStep(true);
    QCOMPARE(m_window->Edit12->text(), QStringLiteral("200.5"));
    QCOMPARE(m_window->Edit14->text(), QStringLiteral("2200"));
    press(Press::Ok);
    QCOMPARE(SystemVars.systemLal, 200.5);
    QCOMPARE(SystemVars.systemHal, 2200.0);
}

void TestSetupWindow::thermometerPage_data()
{
    QTest::addColumn<int>("ems");
    QTest::addColumn<int>("measureMode");
    QTest::addColumn<QString>("emsShown");
    QTest::addColumn<int>("emsStored");
    QTest::addColumn<QString>("modeShown");
    QTest::addColumn<int>("modeStored");
    QTest::newRow("0.95, MAX") << 95 << 1 << "0.95" << 95 << "MAX" << 1;
    QTest::newRow("5 is raised to 0.1") << 5 << 0 << "0.1" << 10 << "EMS" << 0;
    QTest::newRow("120 is lowered to 1") << 120 << 7 << "1" << 100 << "STO" << 7;
    QTest::newRow("work mode -1 is EMS") << 100 << -1 << "1" << 100 << "EMS" << 0;
}

// The page shows the stored values, in range, and nothing on it can be
// changed; it shows what arrives later only when brought to the front again.
void TestSetupWindow::thermometerPage()
{
    QFETCH(int, ems);
    QFETCH(int, measureMode);
    QFETCH(QString, emsShown);
    QFETCH(int, emsStored);
    QFETCH(QString, modeShown);
    QFETCH(int, modeStored);
    startLink(QStringLiteral("HAL_VALUE=65335\nLAL_VALUE=365\nMACHINE_MODE=2\n"));
    SystemVars.emsValue = ems;
    SystemVars.measureMode = qint16(measureMode);
    openWindow();
    QCOMPARE(SystemVars.measureMode, qint16(modeStored));
    m_window->PageControl1->setCurrentWidget(m_window->TabSheet2);
    QCOMPARE(SystemVars.emsValue, emsStored);
    QCOMPARE(m_window->Edit3->text(), emsShown);
    QCOMPARE(m_window->ComboBox3->currentText(), modeShown);
    QCOMPARE(m_window->ComboBox3->count(), 8);
    QCOMPARE(m_window->ComboBox2->currentText(), QString());
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("-20"));
    QCOMPARE(m_window->Edit2->text(), QStringLiteral("36.5"));
    QVERIFY(m_window->PageControl1->isTabEnabled(1));
    for (QWidget *control : m_window->TabSheet2->findChildren<QWidget *>())
        QVERIFY2(control->window() != m_window || !control->isEnabled(), qPrintable(control->objectName()));

    SystemVars.halValue = 1234;
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("-20"));
    m_window->PageControl1->setCurrentWidget(m_window->TabSheet1);
    m_window->PageControl1->setCurrentWidget(m_window->TabSheet2);
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("123.4"));
}

// Apply, then Cancel: what Apply took stays, and nothing reaches the
// settings file until the program ends, which writes the page's corrections.
void TestSetupWindow::settingsFileWrittenAtTheEndOnly()
{
    startLink(QStringLiteral("COMPANY_NAME=Acme\nEMS=5\nMEASURE_MODE=-1\nUNIT_CF=1\n"));
    const QByteArray before = m_env->dir.readFile(QStringLiteral("KELVORA.INI"));
    openWindow();
    m_window->PageControl1->setCurrentWidget(m_window->TabSheet2);
    m_window->Edit8->setText(QStringLiteral("Kelvin & Sons"));
    m_window->RadioButton2->setChecked(true);
    press(Press::Apply);
    m_window->Edit8->setText(QStringLiteral("Not taken"));
    m_window->RadioButton1->setChecked(true);
    press(Press::Cancel);
    QVERIFY(m_window.isNull());
    QCOMPARE(SystemVars.companyName, QStringLiteral("Kelvin & Sons"));
    QVERIFY(!SystemVars.unitCelsius);
    QCOMPARE(m_env->dir.readFile(QStringLiteral("KELVORA.INI")), before);

    m_link->FormClose();
    const QByteArray after = m_env->dir.readFile(QStringLiteral("KELVORA.INI"));
    for (const char *line : {"COMPANY_NAME=Kelvin & Sons", "EMS=10", "MEASURE_MODE=0", "UNIT_CF=0"})
        QVERIFY2(after.contains(line), line);
}

// "S&ystem Setup" opens one window in the main window without a maximize
// box; leaving it offers the command again.
void TestSetupWindow::openedThroughMainWindow()
{
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    startLink(QStringLiteral("SEARIAL_PORT=/tmp/no-such-port\n"));
    TForm1 main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(main.N5->isEnabled());
    main.N5->trigger();
    main.N5Click(); // before the refresh disables the command: no second window
    QCOMPARE(main.findChildren<TForm8 *>().size(), 1);
    m_window = main.findChild<TForm8 *>();
    auto *frame = qobject_cast<QMdiSubWindow *>(m_window->parentWidget());
    QVERIFY(frame);
    QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(frame->size(), TForm1::SetupWindowSize);
    main.FormPaint();
    QVERIFY(!main.N5->isEnabled());

    frame->close();
    QTRY_VERIFY(m_window.isNull());
    QVERIFY(SystemVars.setupMenuEnabled);
    main.FormPaint();
    QVERIFY(main.N5->isEnabled());
    qunsetenv("ODBCINI");
}

QTEST_MAIN(TestSetupWindow)
#include "tst_setupwindow.moc"
