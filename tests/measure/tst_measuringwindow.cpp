// The real-time measurement window: runs against the thermometer simulator
// over a pseudo-terminal, the reading and unit-change messages, the alarm,
// Clear, Save, closing with unsaved data, the sample-rate box, and opening
// through the main window.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/LEDFont.h"
#include "measure/Measuring.h"
#include "measure/chartnavigationbar.h"
#include "measure/datachart.h"
#include "measure/wavsoundplayer.h"
#include "recordingsound.h"
#include "shell/MAIN.h"
#include "measure/measuregrid.h"
#include "store/decimalformat.h"
#include "storetestsupport.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSocketNotifier>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <optional>

namespace {

const QString ConnectError =
    QStringLiteral("COM port connect error!\rPlease turn on IR thermometer or Change COM port Set-up!");
const QString Blanks28(28, QLatin1Char(' '));

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString footerLine1(const QString &max, const QString &min, const QString &avg)
{
    return QStringLiteral("          MAX:     ") + max + Blanks28 + QStringLiteral("MIN:     ") + min +
           Blanks28 + QStringLiteral("AVG:     ") + avg;
}

QStringList units(const MeasureTable &table)
{
    QStringList out;
    for (const MeasureRecord &r : table.rows())
        out << r.unit;
    return out;
}

// The commands the simulator received from the run's "ATQ" on, up to and
// including Stop's "ATU" (the link's own poll resumes after it).
QStringList fromStart(const QStringList &commands)
{
    const int start = int(commands.indexOf(QStringLiteral("ATQ")));
    if (start < 0)
        return {};
    const int stop = int(commands.indexOf(QStringLiteral("ATU"), start));
    return commands.mid(start, stop < 0 ? -1 : stop - start + 1);
}

// Holds Start's 200 ms wait open until the thermometer's settings reply has
// been parsed, however late a loaded machine lets the simulator answer.
// OpenPort writes its "ATA" after its own wait; the serial port puts the
// bytes on the line from its write notifier, which the wait that follows,
// Start's own, dispatches first. The hold itself runs on the next timer
// turn of that wait.
class SettingsReplyInsideStartsWait final : public QObject {
public:
    SettingsReplyInsideStartsWait() { QCoreApplication::instance()->installEventFilter(this); }
    bool held = false;
    bool replied = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *notifier = qobject_cast<QSocketNotifier *>(watched);
        if (!held && event->type() == QEvent::SockAct && notifier &&
            notifier->type() == QSocketNotifier::Write) {
            held = true;
            QTimer::singleShot(1, this, [this] {
                replied = QTest::qWaitFor([] { return SystemVars.settingsRead; }, 10000);
            });
        }
        return false;
    }
};

} // namespace

class TestMeasuringWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void runPollsAtItsRate_data();
    void runPollsAtItsRate();
    void startWithoutAnswerReturnsToIdle();
    void startWithPortOpenButNoSettingsReply();
    void startEndedDuringItsWaits_data();
    void startEndedDuringItsWaits();
    void startWithPortThatCannotOpen();
    void startWhileDeviceBusy();
    void readingShownStoredAndCharted_data();
    void readingShownStoredAndCharted();
    void seriesStatisticsAndClear();
    void alarm_data();
    void alarm();
    void displayReadToScreenReader_data();
    void displayReadToScreenReader();
    void displayAnnouncesPolitelyAndAlarmsAtOnce();
    void unitChangeConvertsTheSeries();
    void unitChangeWithEmptyTable();
    void saveAsksOnceThenWrites();
    void saveThatWritesNothingKeepsSaveOffered_data();
    void saveThatWritesNothingKeepsSaveOffered();
    void closeWithUnsavedData_data();
    void closeWithUnsavedData();
    void closeReleasesOnlyItsOwnRun_data();
    void closeReleasesOnlyItsOwnRun();
    void sampleRateBox();
    void rateBoxRulesForEveryInput_data();
    void rateBoxRulesForEveryInput();
    void openedThroughMainWindow();

private:
    // The device-link module on the given port (empty: none, nothing polls).
    void startLink(const QString &port);
    void startSimulator(const QStringList &extra = {});
    TForm5 *openWindow(bool celsius);
    void reading(int tenths, int ems = 95);
    MeasureTable &meaData() { return m_link->Table1; }
    QString footer(int line) const { return m_window->Chart1->footer().value(line); }
    bool isIdle() const;
    QStringList sentDuring(const std::function<void()> &action);

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<RecordingSound> m_sound;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TForm6> m_link;
    QPointer<TForm5> m_window;
};

void TestMeasuringWindow::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_sound = std::make_unique<RecordingSound>();
}

void TestMeasuringWindow::cleanup()
{
    delete m_window;
    m_link.reset();
    m_sim.reset();
    m_sound.reset();
    m_env.reset();
}

void TestMeasuringWindow::startLink(const QString &port)
{
    m_env->dir.writeSettings(port);
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
}

void TestMeasuringWindow::startSimulator(const QStringList &extra)
{
    m_sim = std::make_unique<Simulator>(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"), extra);
    QVERIFY(m_sim->running());
    startLink(m_env->dir.path("thermometer"));
}

TForm5 *TestMeasuringWindow::openWindow(bool celsius)
{
    if (!m_link)
        startLink(QString());
    SystemVars.unitCelsius = celsius;
    m_window = new TForm5;
    SystemVars.measureWindow = m_window.data();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        qWarning("window not exposed");
    return m_window;
}

void TestMeasuringWindow::reading(int tenths, int ems)
{
    SystemVars.lastValue = tenths;
    SystemVars.lastEms = qint16(ems);
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);
}

bool TestMeasuringWindow::isIdle() const
{
    const TSystemVars &v = SystemVars;
    return m_window->BitBtn1->isVisible() && !m_window->BitBtn8->isVisible() &&
           m_window->Edit2->isEnabled() && !m_window->Timer1.enabled() && !v.measuring && !v.deviceBusy &&
           v.commState == CommIdle;
}

// The commands the simulator received while action ran. The test brackets
// it with a command the thermometer ignores, which the port delivers after
// everything written before it; with the port closed before, nothing can
// have gone out yet and the log is read from its start.
QStringList TestMeasuringWindow::sentDuring(const std::function<void()> &action)
{
    const QString marker = QStringLiteral("ATZ");
    const bool markedBefore = SystemVars.portOpen;
    if (markedBefore)
        m_link->SendCommand(marker.toLatin1());
    action();
    // A port the action closed is opened again to carry the marker; what
    // was written before it closed still reaches the simulator.
    if (!m_link->MSComm1.isOpen())
        m_link->MSComm1.open();
    m_link->SendCommand(marker.toLatin1());
    QStringList received;
    if (!QTest::qWaitFor(
            [&] {
                received = m_sim->commands();
                return received.count(marker) == (markedBefore ? 2 : 1);
            },
            10000))
        return {QStringLiteral("<marker not received>")};
    const int from = markedBefore ? int(received.indexOf(marker)) + 1 : 0;
    return received.mid(from, int(received.lastIndexOf(marker)) - from);
}

void TestMeasuringWindow::runPollsAtItsRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("linkPolledFirst");
    QTest::addColumn<QStringList>("cycle"); // the polls of one period, repeated until Stop
    QTest::addColumn<int>("readingsBeforeStop");
    QTest::newRow("rate 1, port opened by Start") << 1 << false << QStringList{"ATR"} << 3;
    QTest::newRow("rate 3, port opened by the link's poll")
        << 3 << true << QStringList{"ATA", "ATA", "ATR"} << 1;
}

// The run polls at its rate while the link's own poll keeps quiet, every
// reading lands in MeaData, the display and the chart, and Stop ends it.
void TestMeasuringWindow::runPollsAtItsRate()
{
    QFETCH(int, rate);
    QFETCH(bool, linkPolledFirst);
    QFETCH(QStringList, cycle);
    QFETCH(int, readingsBeforeStop);

    startSimulator({QStringLiteral("--profile"), QStringLiteral("ramp:200:15")});
    openWindow(true);
    std::optional<SettingsReplyInsideStartsWait> hold;
    if (linkPolledFirst) {
        QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 4000);
    } else {
        m_link->Timer1.setEnabled(false); // the port stays closed until Start opens it
        QVERIFY(!SystemVars.portOpen);
        hold.emplace();
    }
    m_window->Edit2->setText(QString::number(rate));
    QTest::mouseClick(m_window->BitBtn1, Qt::LeftButton);
    if (hold) {
        QVERIFY(hold->held && hold->replied);
        hold.reset();
        m_link->Timer1.setEnabled(true);
    }

    // Running.
    const TSystemVars &v = SystemVars;
    QVERIFY(v.measuring && v.deviceBusy);
    QCOMPARE(v.commState, qint16(CommMeasuring));
    QCOMPARE(v.readInterval, rate);
    QCOMPARE(v.samplePeriod, rate);
    QVERIFY(!m_window->BitBtn1->isVisible());
    QVERIFY(m_window->BitBtn8->isVisible());
    QVERIFY(!m_window->Edit2->isEnabled());
    QVERIFY(!m_window->BitBtn7->isEnabled());
    QVERIFY(m_window->Timer1.enabled());
    // The settings question went out before the run, by OpenPort or the poll.
    QCOMPARE(m_sim->commands().value(0), QStringLiteral("ATA"));

    QTRY_VERIFY_WITH_TIMEOUT(meaData().recordCount() >= readingsBeforeStop,
                             2000 + 1000 * rate * cycle.size() * readingsBeforeStop);
    QTest::mouseClick(m_window->BitBtn8, Qt::LeftButton);
    QVERIFY(v.awaitingReply);
    QCOMPARE(v.replyCountdown, qint16(2));
    // The link's own poll may already have sent "ATA" after it.
    QTRY_VERIFY_WITH_TIMEOUT(fromStart(m_sim->commands()).contains(QStringLiteral("ATU")), 5000);

    // "ATQ", then the cycle over and over, then "ATU"; on a slow machine a
    // poll more may have gone out before Stop, and its reply still counts.
    const QStringList sent = fromStart(m_sim->commands());
    QCOMPARE(sent.first(), QStringLiteral("ATQ"));
    for (int i = 1; i < sent.size() - 1; ++i)
        QCOMPARE(sent.at(i), cycle.at((i - 1) % cycle.size()));
    const int readingPolls = int(sent.count(QStringLiteral("ATR")));
    QVERIFY(readingPolls >= readingsBeforeStop);
    QTRY_COMPARE_WITH_TIMEOUT(meaData().recordCount(), readingPolls, 5000);
    QList<double> readings; // the simulator's ramp: 20.0, 21.5, 23.0, ...
    for (int i = 0; i < readingPolls; ++i)
        readings << 20.0 + 1.5 * i;

    // Stopped: idle, Save and Print Graph enabled.
    QVERIFY(isIdle());
    QCOMPARE(v.samplePeriod, rate);
    QVERIFY(m_window->BitBtn7->isEnabled());
    QVERIFY(m_window->NavigationBar->printButton()->isEnabled());
    QVERIFY(m_env->dialogs.shown.isEmpty());

    // The readings.
    QCOMPARE(meaValues(meaData()), readings);
    for (int i = 0; i < readings.size(); ++i) {
        const MeasureRecord &row = meaData().rows().at(i);
        QCOMPARE(row.recno, qint64(i + 1));
        QCOMPARE(row.unit, QStringLiteral("C"));
        QCOMPARE(row.ems, 0.95);
        QCOMPARE(row.date, today());
        QVERIFY2(QTime::fromString(row.time, QStringLiteral("HH:mm:ss")).isValid(), qPrintable(row.time));
    }
    QCOMPARE(m_window->Chart1->seriesData(0), QVector<double>(readings.begin(), readings.end()));
    const QString last = QString::number(readings.last(), 'f', 1);
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  ") + last);
    QCOMPARE(footer(0),
             footerLine1(last, QStringLiteral("20.0"), formatOneDecimal(20.0 + 0.75 * (readingPolls - 1))));
    QCOMPARE(footer(1), QStringLiteral("          Date:     ") + today());
    QVERIFY(m_window->hasUnsavedRows());
}

void TestMeasuringWindow::startWithoutAnswerReturnsToIdle()
{
    startSimulator({QStringLiteral("--silent")});
    openWindow(true);
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].text, ConnectError);
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Error Information"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(m_env->dialogs.shown[0].buttons, Dialogs::Buttons(Dialogs::Ok));
    QVERIFY(isIdle());
    QCOMPARE(SystemVars.readInterval, 0);
    QVERIFY(!m_window->BitBtn7->isEnabled());
    // OpenPort asked for the settings; no run was started.
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->commands().value(0), QStringLiteral("ATA"), 3000);
    QVERIFY(!m_sim->commands().contains(QStringLiteral("ATQ")));
}

// The port is open (the link's poll opened it) but the thermometer has not
// answered: Start asks nothing on the line, waits, and reports the connect
// error.
void TestMeasuringWindow::startWithPortOpenButNoSettingsReply()
{
    startSimulator({QStringLiteral("--silent")});
    openWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 4000);
    QVERIFY(!SystemVars.settingsRead);

    const QStringList sent = sentDuring([this] { m_window->BitBtn1->click(); });

    QCOMPARE(sent, QStringList());
    QCOMPARE(m_env->dialogs.texts(), QStringList{ConnectError});
    QVERIFY(isIdle());
    QCOMPARE(SystemVars.readInterval, 0);
    QVERIFY(!m_window->BitBtn7->isEnabled());
}

void TestMeasuringWindow::startEndedDuringItsWaits_data()
{
    QTest::addColumn<bool>("portOpenedByStart"); // else the link's poll opened it and has the settings
    QTest::addColumn<QString>("during");         // what the user does inside the first wait
    QTest::addColumn<bool>("runs");
    QTest::addColumn<bool>("windowStays");
    QTest::newRow("Stop in Start's wait") << false << "Stop" << false << true;
    QTest::newRow("Stop in OpenPort's wait") << true << "Stop" << false << true;
    QTest::newRow("Stop and Start again in Start's wait") << false << "Stop, Start" << true << true;
    QTest::newRow("close, Cancel in Start's wait") << false << "close, Cancel" << false << true;
    QTest::newRow("close, Cancel in OpenPort's wait") << true << "close, Cancel" << false << true;
    QTest::newRow("close, No in Start's wait") << false << "close, No" << false << false;
    QTest::newRow("close, No in OpenPort's wait") << true << "close, No" << false << false;
    QTest::newRow("close, No in OpenPort's wait, port lost")
        << true << "close, No, port lost" << false << false;
}

// Whatever ends a start while it waits (Stop, a second Start, closing the
// window) ends it for good: no run goes on unseen behind an idle window,
// and a window deleted meanwhile is not touched.
void TestMeasuringWindow::startEndedDuringItsWaits()
{
    QFETCH(bool, portOpenedByStart);
    QFETCH(QString, during);
    QFETCH(bool, runs);
    QFETCH(bool, windowStays);

    startSimulator();
    openWindow(true);
    if (portOpenedByStart)
        m_link->Timer1.setEnabled(false);
    else
        QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 4000);
    reading(250); // unsaved data: closing asks
    m_env->dialogs.answers << (during.contains(QLatin1String("Cancel")) ? Dialogs::Cancel : Dialogs::No);
    const QPointer<TForm5> window = m_window;
    // Runs inside the first wait of Start: OpenPort's, or Start's own when
    // the port is open.
    QTimer::singleShot(0, this, [&] {
        if (during.startsWith(QLatin1String("Stop"))) {
            window->BitBtn8->click();
            // The second click comes a moment later, as a user's would.
            if (during.endsWith(QLatin1String("Start")))
                QTimer::singleShot(50, this, [&] { window->BitBtn1->click(); });
            return;
        }
        window->close();
        if (during.endsWith(QLatin1String("port lost")))
            m_link->MSComm1.close();
    });

    const QStringList sent = sentDuring([&] { window->BitBtn1->click(); });

    const TSystemVars &v = SystemVars;
    QCOMPARE(sent.count(QStringLiteral("ATQ")), runs ? 1 : 0);
    // Stop and closing send "ATU", unless the port went away before it left.
    QCOMPARE(sent.contains(QStringLiteral("ATU")), !during.endsWith(QLatin1String("port lost")));
    QCOMPARE(v.measuring, runs);
    QCOMPARE(v.deviceBusy, runs);
    QCOMPARE(v.commState, qint16(runs ? CommMeasuring : CommIdle));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(!window.isNull(), windowStays);
    QCOMPARE(v.measureWindow.data(), windowStays ? window.data() : nullptr);
    if (!windowStays)
        return;
    QCOMPARE(window->Timer1.enabled(), runs);
    QCOMPARE(window->BitBtn8->isVisible(), runs);
    QCOMPARE(window->BitBtn1->isVisible(), !runs);
    QCOMPARE(window->Edit2->isEnabled(), !runs);
    QVERIFY(!m_env->dialogs.texts().contains(ConnectError));
}

// OpenPort's failure is reported with its own text and the window is idle
// again, ready for another try.
void TestMeasuringWindow::startWithPortThatCannotOpen()
{
    const QString port = m_env->dir.path("absent");
    startLink(port);
    m_link->Timer1.setEnabled(false);
    openWindow(true);
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QVERIFY2(m_env->dialogs.shown[0].text.startsWith(QStringLiteral("Port ") + port),
             qPrintable(m_env->dialogs.shown[0].text));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(isIdle());
    QVERIFY(!SystemVars.portOpen);
    QVERIFY(!m_window->BitBtn7->isEnabled());
}

void TestMeasuringWindow::startWhileDeviceBusy()
{
    openWindow(true);
    SystemVars.deviceBusy = true;
    SystemVars.samplePeriod = 3;
    m_window->Edit2->setText(QStringLiteral("7"));
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].text, QStringLiteral("Serial port is used by another window!"));
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Error Information"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(SystemVars.deviceBusy);
    QCOMPARE(SystemVars.commState, qint16(CommIdle));
    QCOMPARE(SystemVars.samplePeriod, 3);
    QVERIFY(m_window->BitBtn1->isVisible());
    QVERIFY(m_window->Edit2->isEnabled());
    QVERIFY(!m_window->Timer1.enabled());
}

void TestMeasuringWindow::readingShownStoredAndCharted_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("ems");
    QTest::addColumn<QString>("display");
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("storedEms");
    QTest::addColumn<QString>("average"); // rounded from the Celsius sum
    QTest::newRow("F cut, not rounded") << false << 237 << 95 << "  74.6" << 74.6 << 0.95 << "74.7";
    QTest::newRow("F near zero") << false << -178 << 95 << "  -0.0" << 0.0 << 0.95 << "0.0";
    QTest::newRow("F a thousand C") << false << 10000 << 100 << "1832.0" << 1832.0 << 1.0 << "1832.0";
    QTest::newRow("C whole number") << true << 250 << 95 << "  25.0" << 25.0 << 0.95 << "25.0";
    QTest::newRow("C negative") << true << -55 << 80 << "  -5.5" << -5.5 << 0.8 << "-5.5";
    QTest::newRow("C six characters") << true << -1005 << 95 << "-100.5" << -100.5 << 0.95 << "-100.5";
    QTest::newRow("C seven characters") << true << -10005 << 95 << "-1000.5" << -1000.5 << 0.95 << "-1000.5";
    QTest::newRow("C a thousand") << true << 10000 << 95 << "1000.0" << 1000.0 << 0.95 << "1000.0";
}

void TestMeasuringWindow::readingShownStoredAndCharted()
{
    QFETCH(bool, celsius);
    QFETCH(int, tenths);
    QFETCH(int, ems);
    QFETCH(QString, display);
    QFETCH(double, stored);
    QFETCH(double, storedEms);
    QFETCH(QString, average);

    openWindow(celsius);
    const QString unit = celsius ? QStringLiteral("C") : QStringLiteral("F");
    QCOMPARE(m_window->LEDFontNum1->Text(), celsius ? QStringLiteral("  00.0") : QStringLiteral("  32.0"));
    QCOMPARE(m_window->Label2->text(), unit);
    QVERIFY(!m_window->BitBtn2->isEnabled());

    reading(tenths, ems);
    QCOMPARE(m_window->LEDFontNum1->Text(), display);
    QCOMPARE(m_window->Label2->text(), unit);
    QCOMPARE(meaData().recordCount(), 1);
    const MeasureRecord &row = meaData().rows().at(0);
    QCOMPARE(row.recno, qint64(1));
    QCOMPARE(row.meavalue, stored);
    QCOMPARE(row.ems, storedEms);
    QCOMPARE(row.unit, unit);
    QCOMPARE(row.date, today());
    QCOMPARE(m_window->DBGridEh1->model()->rowCount(), 1);
    QCOMPARE(m_window->Chart1->seriesData(0), QVector<double>{stored});

    // The first reading is maximum and minimum at once.
    const QString x = display.trimmed() == QLatin1String("-0.0") ? QStringLiteral("0.0") : display.trimmed();
    QCOMPARE(footer(0), footerLine1(x, x, average));
    QCOMPARE(footer(1), QStringLiteral("          Date:     ") + today());
    QVERIFY(m_window->BitBtn2->isEnabled());
    QVERIFY(m_window->hasUnsavedRows());

    // The axis keeps its default range unless the reading lies above it.
    const AxisRange axis = m_window->Chart1->axisRange(ChartAxis::Left);
    QCOMPARE(axis.minimum, celsius ? 200.0 : 392.0);
    QCOMPARE(axis.maximum, std::max(stored, celsius ? 500.0 : 932.0));
}

// Extremes, average, recno and the axis across a series; Clear empties
// everything but the axis and the extremes, and the next reading starts anew.
void TestMeasuringWindow::seriesStatisticsAndClear()
{
    openWindow(true);
    for (int tenths : {200, 300, 6123, 150})
        reading(tenths);
    QCOMPARE(meaValues(meaData()), (QList<double>{20.0, 30.0, 612.3, 15.0}));
    QCOMPARE(meaData().rows().last().recno, qint64(4));
    QCOMPARE(footer(0), footerLine1("612.3", "15.0", "169.3")); // 677.3 / 4 = 169.325
    QCOMPARE(m_window->series().maxReading(), 612.3);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 612.3);
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  15.0"));

    QVERIFY(m_window->hasUnsavedRows());
    m_window->Edit1->setText(QStringLiteral("old.klg"));
    m_window->BitBtn7->setEnabled(true);
    m_window->NavigationBar->printButton()->setEnabled(true);
    QTest::mouseClick(m_window->BitBtn2, Qt::LeftButton);
    QVERIFY(meaData().isEmpty());
    QCOMPARE(m_window->DBGridEh1->model()->rowCount(), 0);
    QVERIFY(m_window->Chart1->seriesData(0).isEmpty());
    QVERIFY(m_window->Chart1->footer().isEmpty() ||
            m_window->Chart1->footer().join(QString()).trimmed().isEmpty());
    QVERIFY(m_window->Edit1->text().isEmpty());
    QVERIFY(!m_window->hasUnsavedRows());
    QVERIFY(!m_window->BitBtn2->isEnabled());
    QVERIFY(!m_window->BitBtn7->isEnabled());
    QVERIFY(!m_window->NavigationBar->printButton()->isEnabled());
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 612.3);

    reading(400);
    QCOMPARE(meaData().rows().at(0).recno, qint64(1));
    QCOMPARE(footer(0), footerLine1("40.0", "40.0", "40.0"));
    QCOMPARE(m_window->Chart1->seriesData(0), QVector<double>{40.0});
    // The new series has its own maximum: the axis is back at its default.
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 500.0);
    QVERIFY(m_window->BitBtn2->isEnabled());
}

void TestMeasuringWindow::alarm_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<bool>("alarmOn");
    QTest::addColumn<double>("hal");
    QTest::addColumn<double>("lal");
    QTest::addColumn<bool>("productPlayer"); // else every sound ends at once
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<QStringList>("requested");
    QTest::addColumn<QStringList>("started");
    const QString high = QStringLiteral("highalarm.wav");
    const QString low = QStringLiteral("lowalarm.wav");
    QTest::newRow("alarm off") << true << false << 30.0 << 10.0 << false << QList<int>{400, 50}
                               << QStringList() << QStringList();
    QTest::newRow("limits themselves are inside")
        << true << true << 30.0 << 10.0 << false << QList<int>{300, 100, 250} << QStringList()
        << QStringList();
    QTest::newRow("above and below") << true << true << 36.5 << -5.5 << false << QList<int>{366, 250, -56}
                                     << QStringList{high, low} << QStringList{high, low};
    QTest::newRow("repeats with every reading")
        << true << true << 30.0 << 10.0 << false << QList<int>{301, 301} << QStringList{high, high}
        << QStringList{high, high};
    QTest::newRow("Fahrenheit window compares Celsius tenths")
        << false << true << 30.0 << 10.0 << false << QList<int>{301, 99, 200} << QStringList{high, low}
        << QStringList{high, low};
    QTest::newRow("both limits 0") << true << true << 0.0 << 0.0 << false << QList<int>{1, 0, -1}
                                   << QStringList{high, low} << QStringList{high, low};
    QTest::newRow("low limit above high, high still playing")
        << true << true << 20.0 << 30.0 << true << QList<int>{250} << QStringList{high, low}
        << QStringList{high};
}

void TestMeasuringWindow::alarm()
{
    QFETCH(bool, celsius);
    QFETCH(bool, alarmOn);
    QFETCH(double, hal);
    QFETCH(double, lal);
    QFETCH(bool, productPlayer);
    QFETCH(QList<int>, readings);
    QFETCH(QStringList, requested);
    QFETCH(QStringList, started);

    openWindow(celsius);
    SystemVars.alarmOn = alarmOn;
    SystemVars.systemHal = hal;
    SystemVars.systemLal = lal;
    // The product's player decides what starts, on a clock that stands still,
    // so that a sound it started is still playing at the next request.
    WavSoundPlayer player;
    player.setClock([] { return qint64(0); });
    if (productPlayer) {
        for (const QString &name : {QStringLiteral("highalarm.wav"), QStringLiteral("lowalarm.wav")})
            QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + '/' + name, m_env->dir.path(name)));
        m_sound->passTo(&player);
    }
    auto detach = qScopeGuard([this] { m_sound->passTo(nullptr); });
    for (int tenths : readings)
        reading(tenths);
    QCOMPARE(m_sound->requested, requested);
    QCOMPARE(m_sound->started, started);
    QCOMPARE(meaData().recordCount(), readings.size());
}

namespace {

QString accessibleText(QWidget *widget, QAccessible::Text which)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(which) : QStringLiteral("<no interface>");
}

} // namespace

void TestMeasuringWindow::displayReadToScreenReader_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<bool>("alarmOn");
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("description");
    // Limits 30.0 high and 10.0 low, in degrees Celsius as the settings hold them.
    QTest::newRow("Celsius") << true << true << QList<int>{253} << "25.3 °C" << QString();
    QTest::newRow("Fahrenheit") << false << true << QList<int>{237} << "74.6 °F" << QString();
    QTest::newRow("high alarm") << true << true << QList<int>{301} << "30.1 °C"
                                << "High alarm: above 30.0 °C";
    QTest::newRow("low alarm, limit in the window's unit") << false << true << QList<int>{99} << "49.8 °F"
                                                           << "Low alarm: below 50.0 °F";
    QTest::newRow("a reading on the limit is no alarm")
        << true << true << QList<int>{300} << "30.0 °C" << QString();
    QTest::newRow("alarm ends with a reading inside")
        << true << true << QList<int>{301, 200} << "20.0 °C" << QString();
    QTest::newRow("alarm off") << true << false << QList<int>{400} << "40.0 °C" << QString();
}

void TestMeasuringWindow::displayReadToScreenReader()
{
    QFETCH(bool, celsius);
    QFETCH(bool, alarmOn);
    QFETCH(QList<int>, readings);
    QFETCH(QString, value);
    QFETCH(QString, description);

    openWindow(celsius);
    SystemVars.alarmOn = alarmOn;
    SystemVars.systemHal = 30.0;
    SystemVars.systemLal = 10.0;
    QWidget *led = m_window->LEDFontNum1;
    QCOMPARE(accessibleText(led, QAccessible::Name), QStringLiteral("Reading"));
    for (int tenths : readings)
        reading(tenths);
    QCOMPARE(accessibleText(led, QAccessible::Value), value);
    QCOMPARE(accessibleText(led, QAccessible::Description), description);
}

// Readings come faster than speech: a burst is announced once, with the
// latest value, when the interval has passed; an alarm is announced at once,
// and a unit change clears it with the reading.
void TestMeasuringWindow::displayAnnouncesPolitelyAndAlarmsAtOnce()
{
    openWindow(true);
    SystemVars.alarmOn = true;
    SystemVars.systemHal = 30.0;
    SystemVars.systemLal = 10.0;
    // Qt hands accessibility events to an update handler only while
    // assistive technology is active, which it never is on the offscreen
    // platform; the display's signal marks each event sent.
    TLEDFontNum *led = m_window->LEDFontNum1;
    QStringList announced;
    connect(led, &TLEDFontNum::ValueAnnounced, this,
            [&announced](const QString &value) { announced << value; });

    // Whatever the placeholder's announcement, a burst gives at most one
    // announcement within the interval, and the latest value comes out at its end.
    // Each reading comes on an event loop turn of its own, as from the port.
    for (int tenths : {251, 252, 253}) {
        reading(tenths);
        QTest::qWait(20);
    }
    QTRY_COMPARE_WITH_TIMEOUT(announced.value(announced.size() - 1), QStringLiteral("25.3 °C"),
                              TLEDFontNum::AnnounceIntervalMs + 2000);
    QTest::qWait(200);
    QCOMPARE(announced.count(QStringLiteral("25.3 °C")), 1);
    QVERIFY(!announced.contains(QStringLiteral("25.2 °C")));

    // Right after an announcement: a new reading waits, an alarm does not.
    announced.clear();
    reading(254);
    QTest::qWait(100);
    QCOMPARE(announced, QStringList());
    reading(305);
    QTRY_COMPARE_WITH_TIMEOUT(announced, QStringList{QStringLiteral("30.5 °C")}, 1000);
    QCOMPARE(accessibleText(led, QAccessible::Description), QStringLiteral("High alarm: above 30.0 °C"));
    // Still above: no new alarm, so the next reading waits again.
    reading(306);
    QTest::qWait(100);
    QCOMPARE(announced, QStringList{QStringLiteral("30.5 °C")});

    SystemVars.unitCelsius = false;
    sendWindowMessage(SystemVars.measureWindow, WM_CHANGEUNIT);
    QCOMPARE(accessibleText(led, QAccessible::Value), QStringLiteral("32.0 °F"));
    QCOMPARE(accessibleText(led, QAccessible::Description), QString());
}

// Celsius 20.0 and 30.0, converted to Fahrenheit, then 25.0 C: the average
// of all three stays right because the sum is kept in Celsius.
void TestMeasuringWindow::unitChangeConvertsTheSeries()
{
    openWindow(true);
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature        (Unit:  C)"));
    reading(200);
    reading(300);

    SystemVars.unitCelsius = false;
    sendWindowMessage(SystemVars.measureWindow, WM_CHANGEUNIT);
    QVERIFY(!m_window->windowCelsius());
    QCOMPARE(meaValues(meaData()), (QList<double>{68.0, 86.0}));
    QCOMPARE(units(meaData()), (QStringList{"F", "F"}));
    QCOMPARE(m_window->Chart1->seriesData(0), (QVector<double>{68.0, 86.0}));
    QCOMPARE(footer(0), footerLine1("86.0", "68.0", "77.0"));
    QCOMPARE(footer(1), QStringLiteral("          DATE:     ") + today());
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature     (Unit:  F)"));
    AxisRange axis = m_window->Chart1->axisRange(ChartAxis::Left);
    QCOMPARE(axis.minimum, 392.0);
    QCOMPARE(axis.maximum, 932.0);
    QCOMPARE(m_window->Label2->text(), QStringLiteral("F"));
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  32.0")); // not converted
    QCOMPARE(m_window->series().maxReading(), 86.0);
    QCOMPARE(m_window->series().minReading(), 68.0);

    reading(250);
    QCOMPARE(meaValues(meaData()), (QList<double>{68.0, 86.0, 77.0}));
    QCOMPARE(meaData().rows().last().unit, QStringLiteral("F"));
    QCOMPARE(meaData().rows().last().recno, qint64(3));
    QCOMPARE(footer(0), footerLine1("86.0", "68.0", "77.0"));
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  77.0"));
    QCOMPARE(m_window->Chart1->seriesData(0), (QVector<double>{68.0, 86.0, 77.0}));

    // Back to Celsius, with a reading above the Celsius default range.
    reading(6000);
    SystemVars.unitCelsius = true;
    sendWindowMessage(SystemVars.measureWindow, WM_CHANGEUNIT);
    QCOMPARE(meaValues(meaData()), (QList<double>{20.0, 30.0, 25.0, 600.0}));
    QCOMPARE(units(meaData()), (QStringList{"C", "C", "C", "C"}));
    QCOMPARE(footer(0), footerLine1("600.0", "20.0", "168.8")); // 675 / 4 = 168.75
    axis = m_window->Chart1->axisRange(ChartAxis::Left);
    QCOMPARE(axis.minimum, 200.0);
    QCOMPARE(axis.maximum, 600.0);
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature     (Unit:  C)"));
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  00.0"));
    reading(100);
    QCOMPARE(footer(0), footerLine1("600.0", "10.0", "137.0")); // 685 / 5
}

void TestMeasuringWindow::unitChangeWithEmptyTable()
{
    openWindow(false);
    SystemVars.unitCelsius = true;
    sendWindowMessage(SystemVars.measureWindow, WM_CHANGEUNIT);
    QVERIFY(m_window->windowCelsius());
    QVERIFY(meaData().isEmpty());
    QVERIFY(m_window->Chart1->seriesData(0).isEmpty());
    QVERIFY(m_window->Chart1->footer().join(QString()).trimmed().isEmpty());
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature     (Unit:  C)"));
    const AxisRange axis = m_window->Chart1->axisRange(ChartAxis::Left);
    QCOMPARE(axis.minimum, 200.0);
    QCOMPARE(axis.maximum, 500.0);
    QCOMPARE(m_window->Label2->text(), QStringLiteral("C"));
    QCOMPARE(m_window->LEDFontNum1->Text(), QStringLiteral("  00.0"));

    reading(250);
    QCOMPARE(meaData().rows().at(0).unit, QStringLiteral("C"));
    QCOMPARE(meaData().rows().at(0).meavalue, 25.0);
}

void TestMeasuringWindow::saveAsksOnceThenWrites()
{
    openWindow(true);
    reading(250);
    reading(263);
    m_window->BitBtn8Click();
    QVERIFY(m_window->BitBtn7->isEnabled());

    const QString path = m_env->dir.path("series.klg");
    m_env->dialogs.fileAnswers = {path};
    QTest::mouseClick(m_window->BitBtn7, Qt::LeftButton);
    QVERIFY(m_env->dialogs.fileAnswers.isEmpty());
    QCOMPARE(m_window->Edit1->text(), path);
    QVERIFY(!m_window->hasUnsavedRows());
    QVERIFY(!m_window->BitBtn7->isEnabled());
    QStringList lines =
        QString::fromLatin1(m_env->dir.readFile("series.klg")).split(QRegularExpression("\r?\n"));
    QCOMPARE(lines.value(1), QStringLiteral("Total:2"));
    QVERIFY(lines.value(3).contains(QStringLiteral("26.3")));

    // The next save writes to the same file without asking.
    reading(270);
    QVERIFY(m_window->hasUnsavedRows());
    m_window->BitBtn8Click();
    m_window->BitBtn7->click();
    lines = QString::fromLatin1(m_env->dir.readFile("series.klg")).split(QRegularExpression("\r?\n"));
    QCOMPARE(lines.value(1), QStringLiteral("Total:3"));
    QVERIFY(!m_window->hasUnsavedRows());
    QVERIFY(m_env->dialogs.shown.isEmpty());

    // After Clear the name is gone: the dialog asks again, and cancelling
    // it leaves Save enabled and the data unsaved.
    m_window->BitBtn2->click();
    reading(280);
    m_window->BitBtn8Click();
    m_window->BitBtn7->click();
    QVERIFY(m_window->Edit1->text().isEmpty());
    QVERIFY(m_window->BitBtn7->isEnabled());
    QVERIFY(m_window->hasUnsavedRows());
    QCOMPARE(
        QString::fromLatin1(m_env->dir.readFile("series.klg")).split(QRegularExpression("\r?\n")).value(1),
        QStringLiteral("Total:3"));
}

void TestMeasuringWindow::saveThatWritesNothingKeepsSaveOffered_data()
{
    QTest::addColumn<QString>("named");  // the file Edit1 names from an earlier save
    QTest::addColumn<QString>("chosen"); // in the save dialog
    QTest::addColumn<bool>("refuse");    // No to the overwrite question
    QTest::addColumn<QString>("error");  // the start of the error report, if any
    QTest::newRow("overwrite refused") << ""
                                       << "existing.klg" << true << "";
    QTest::newRow("chosen file cannot be written")
        << ""
        << "no-such-folder/x.klg" << false << "Cannot create file ";
    QTest::newRow("file in Edit1 cannot be written any more") << "folder/x.klg"
                                                              << "" << false << "Cannot create file ";
}

// Nothing reaches the disk: the data stays unsaved, Save stays offered for
// another try, the file name box keeps what it showed, an old file stays as
// it was, and a failure is reported.
void TestMeasuringWindow::saveThatWritesNothingKeepsSaveOffered()
{
    QFETCH(QString, named);
    QFETCH(QString, chosen);
    QFETCH(bool, refuse);
    QFETCH(QString, error);

    openWindow(true);
    m_env->dir.writeFile(QStringLiteral("existing.klg"), "old\n");
    reading(250);
    m_window->BitBtn8Click();
    if (!named.isEmpty()) {
        QVERIFY(QDir(m_env->dir.path(QString())).mkdir(QStringLiteral("folder")));
        m_env->dialogs.fileAnswers << m_env->dir.path(named);
        m_window->BitBtn7->click();
        QCOMPARE(m_window->Edit1->text(), m_env->dir.path(named));
        QVERIFY(QDir(m_env->dir.path(QStringLiteral("folder"))).removeRecursively());
        reading(260);
        m_window->BitBtn8Click();
    } else {
        m_env->dialogs.fileAnswers << m_env->dir.path(chosen);
    }
    if (refuse)
        m_env->dialogs.answers << Dialogs::No;
    const QString editBefore = m_window->Edit1->text();

    m_window->BitBtn7->click();

    QVERIFY(m_env->dialogs.fileAnswers.isEmpty());
    QVERIFY(m_window->hasUnsavedRows());
    QVERIFY(m_window->BitBtn7->isEnabled());
    QCOMPARE(m_window->Edit1->text(), editBefore);
    QCOMPARE(m_env->dir.readFile(QStringLiteral("existing.klg")), QByteArray("old\n"));
    // One box: the overwrite question or the error report.
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    if (!error.isEmpty()) {
        QVERIFY2(m_env->dialogs.shown[0].text.startsWith(error), qPrintable(m_env->dialogs.shown[0].text));
        QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    }
}

void TestMeasuringWindow::closeWithUnsavedData_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("saved data: no question") << false << QList<int>{} << "" << true << false;
    QTest::newRow("No") << true << QList<int>{Dialogs::No} << "" << true << false;
    QTest::newRow("Cancel") << true << QList<int>{Dialogs::Cancel} << "" << false << false;
    QTest::newRow("Yes, file written") << true << QList<int>{Dialogs::Yes} << "closing.klg" << true << true;
    QTest::newRow("Yes, dialog cancelled") << true << QList<int>{Dialogs::Yes} << "" << false << false;
    QTest::newRow("Yes, overwrite refused")
        << true << QList<int>{Dialogs::Yes, Dialogs::No} << "existing.klg" << false << false;
    QTest::newRow("Yes, file cannot be written")
        << true << QList<int>{Dialogs::Yes} << "no-such-folder/x.klg" << false << false;
}

void TestMeasuringWindow::closeWithUnsavedData()
{
    QFETCH(bool, unsaved);
    QFETCH(QList<int>, answers);
    QFETCH(QString, file);
    QFETCH(bool, closes);
    QFETCH(bool, written);

    openWindow(true);
    m_env->dir.writeFile(QStringLiteral("existing.klg"), "old\n");
    reading(250);
    reading(260);
    if (!unsaved) {
        m_env->dialogs.fileAnswers << m_env->dir.path(QStringLiteral("saved.klg"));
        m_window->BitBtn7Click();
        QVERIFY(!m_window->hasUnsavedRows());
    }
    for (int a : answers)
        m_env->dialogs.answers << Dialogs::Button(a);
    if (!file.isEmpty())
        m_env->dialogs.fileAnswers << m_env->dir.path(file);

    QCOMPARE(m_window->close(), closes);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const TSystemVars &v = SystemVars;
    if (unsaved) {
        QCOMPARE(m_env->dialogs.shown.value(0).text,
                 QStringLiteral("Measured data has not save yet.\rDo you want to save data?"));
        QCOMPARE(m_env->dialogs.shown.value(0).caption, QStringLiteral("Query Information"));
        QCOMPARE(m_env->dialogs.shown.value(0).icon, Dialogs::Icon::Question);
        QCOMPARE(m_env->dialogs.shown.value(0).buttons,
                 Dialogs::Buttons(Dialogs::Yes | Dialogs::No | Dialogs::Cancel));
    } else {
        QVERIFY(m_env->dialogs.shown.isEmpty());
    }
    QCOMPARE(m_window.isNull(), closes);
    QCOMPARE(v.measureMenuEnabled, closes);
    QCOMPARE(v.measureWindow.isNull(), closes);
    QVERIFY(v.removeMeasureItem);
    QCOMPARE(QFileInfo(m_env->dir.path(file)).isFile() && m_env->dir.readFile(file) != "old\n", written);
    if (closes)
        return;

    // Kept: stopped, idle, Save offered again, no reading lost, readings
    // still reach it.
    QVERIFY(isIdle());
    QVERIFY(m_window->BitBtn7->isEnabled());
    QVERIFY(m_window->hasUnsavedRows());
    QCOMPARE(meaData().recordCount(), 2);
    reading(270);
    QCOMPARE(meaData().recordCount(), 3);
}

void TestMeasuringWindow::closeReleasesOnlyItsOwnRun_data()
{
    QTest::addColumn<bool>("ownRun");
    QTest::addColumn<bool>("otherHold"); // another window holds the thermometer
    QTest::addColumn<int>("otherState"); // its commState
    QTest::newRow("this window's run") << true << false << int(CommIdle);
    QTest::newRow("idle, no one holds the thermometer") << false << false << int(CommIdle);
    QTest::newRow("a download receives its records") << false << true << int(CommDownloading);
    QTest::newRow("a download connects") << false << true << int(CommIdle);
}

// Closing ends the run on the line with "ATU" and releases the thermometer,
// but only a run of this window: another window's hold stays, and nothing
// is written into its conversation.
void TestMeasuringWindow::closeReleasesOnlyItsOwnRun()
{
    QFETCH(bool, ownRun);
    QFETCH(bool, otherHold);
    QFETCH(int, otherState);
    startSimulator();
    openWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 4000);
    if (ownRun) {
        m_window->Edit2->setText(QStringLiteral("1"));
        m_window->BitBtn1->click();
        QVERIFY(SystemVars.measuring);
        QVERIFY(m_window->Timer1.enabled());
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commands().contains(QStringLiteral("ATR")), 5000);
    } else {
        SystemVars.deviceBusy = otherHold;
        SystemVars.commState = qint16(otherState);
    }
    // Readings of the run are not kept: the close question is answered No.
    m_env->dialogs.answers << Dialogs::No;
    const QStringList sent = sentDuring([this] { QVERIFY(m_window->close()); });
    QCOMPARE(sent, otherHold ? QStringList() : QStringList{QStringLiteral("ATU")});
    QVERIFY(!SystemVars.measuring);
    QCOMPARE(SystemVars.readInterval, 0);
    QVERIFY(!SystemVars.awaitingReply);
    QCOMPARE(SystemVars.deviceBusy, otherHold);
    QCOMPARE(SystemVars.commState, qint16(ownRun ? CommIdle : otherState));
}

// Typed keys reach the box only as digits, at most four; the spin arrows
// step the rate and write the thousands separator that Start reads.
void TestMeasuringWindow::sampleRateBox()
{
    startLink(QString());
    SystemVars.samplePeriod = 7;
    openWindow(true);
    QLineEdit *box = m_window->Edit2;
    QCOMPARE(box->text(), QStringLiteral("7")); // the configured rate when shown
    QVERIFY(m_window->BitBtn1->isEnabled());

    box->clear();
    QVERIFY(!m_window->BitBtn1->isEnabled());
    QTest::keyClicks(box, QStringLiteral("a"));
    QCOMPARE(box->text(), QStringLiteral("0"));
    QVERIFY(!m_window->BitBtn1->isEnabled());
    QTest::keyClicks(box, QStringLiteral(" x5"));
    QCOMPARE(box->text(), QStringLiteral("0005"));
    QVERIFY(m_window->BitBtn1->isEnabled());
    QTest::keyClicks(box, QStringLiteral("9"));
    QCOMPARE(box->text(), QStringLiteral("0005"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("000"));
    QVERIFY(!m_window->BitBtn1->isEnabled());
    box->clear();
    QTest::keyClicks(box, QStringLiteral("12345"));
    QCOMPARE(box->text(), QStringLiteral("1234"));
    QTest::keyClick(box, Qt::Key_Home);
    // The Delete key carries DEL on some platforms: it deletes, types no "0".
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
    QCOMPARE(box->text(), QStringLiteral("234"));

    QToolButton *up = nullptr;
    QToolButton *down = nullptr;
    for (QToolButton *b : m_window->UpDown1->findChildren<QToolButton *>())
        (b->accessibleName() == QLatin1String("Increase sample rate") ? up : down) = b;
    QVERIFY(up && down);
    box->setText(QStringLiteral("999"));
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("1,000"));
    QVERIFY(m_window->BitBtn1->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("1,001"));
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("999"));
    box->setText(QStringLiteral("9998"));
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("9,999"));
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("9,999"));
    box->setText(QStringLiteral("2"));
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("2"));

    // Start reads "1,000" as 1000.
    box->setText(QStringLiteral("999"));
    QTest::mouseClick(up, Qt::LeftButton);
    SystemVars.settingsRead = true;
    m_window->BitBtn1->click();
    QCOMPARE(SystemVars.samplePeriod, 1000);
    QCOMPARE(SystemVars.readInterval, 1000);
    m_window->BitBtn8->click();
}

void TestMeasuringWindow::rateBoxRulesForEveryInput_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("shown"); // the box's text before
    QTest::addColumn<QString>("text");  // what comes in at its end
    QTest::addColumn<QString>("result");
    QTest::newRow("pasted past four characters") << "paste"
                                                 << ""
                                                 << "100000"
                                                 << "1000";
    QTest::newRow("pasted letters") << "paste"
                                    << ""
                                    << "ab"
                                    << "00";
    QTest::newRow("pasted behind digits") << "paste"
                                          << "12"
                                          << "a345"
                                          << "1203";
    QTest::newRow("pasted line breaks") << "paste"
                                        << ""
                                        << "\t5\n"
                                        << "5";
    QTest::newRow("pasted into a full box") << "paste"
                                            << "1234"
                                            << "5"
                                            << "1234";
    QTest::newRow("dropped") << "drop"
                             << ""
                             << "12x45"
                             << "1204";
    QTest::newRow("composed") << "input method"
                              << "7"
                              << "8a9"
                              << "7809";
}

// Text that does not come from a key press keeps the box's rules too.
void TestMeasuringWindow::rateBoxRulesForEveryInput()
{
    QFETCH(QString, way);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    QFETCH(QString, result);

    openWindow(true);
    QLineEdit *box = m_window->Edit2;
    box->setText(shown);
    box->setFocus();
    box->end(false);
    if (way == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
    } else if (way == QLatin1String("drop")) {
        QMimeData data;
        data.setText(text);
        const QPoint end(box->width() - 2, box->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
    } else {
        QInputMethodEvent compose;
        compose.setCommitString(text);
        QCoreApplication::sendEvent(box, &compose);
    }
    QCOMPARE(box->text(), result);

    // Start runs at the rate the box shows.
    const int rate = result.toInt();
    QCOMPARE(m_window->BitBtn1->isEnabled(), rate > 0);
    if (rate == 0)
        return;
    SystemVars.settingsRead = true;
    m_window->BitBtn1->click();
    QCOMPARE(SystemVars.readInterval, rate);
    m_window->BitBtn8->click();
}

void TestMeasuringWindow::openedThroughMainWindow()
{
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    startLink(QString());
    TForm1 main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.N3Click();

    auto *window = qobject_cast<TForm5 *>(SystemVars.measureWindow.data());
    QVERIFY(window);
    QPointer<TForm5> guard(window);
    auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    QVERIFY(frame && frame->isMaximized());
    QCOMPARE(window->windowTitle(), QStringLiteral("Kelvora Real Time Measure"));
    QVERIFY(!SystemVars.measureMenuEnabled);
    main.FormPaint();
    QVERIFY(main.N20->actions().contains(main.menumeasure));

    // Cancel keeps the window, minimised, with its entry.
    SystemVars.lastValue = 250;
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);
    m_env->dialogs.answers = {Dialogs::Cancel};
    frame->close();
    QVERIFY(guard);
    QVERIFY(frame->isMinimized());
    main.FormPaint();
    QVERIFY(main.N20->actions().contains(main.menumeasure));
    QCOMPARE(SystemVars.measureWindow.data(), window);

    m_env->dialogs.answers = {Dialogs::No};
    frame->close();
    QTRY_VERIFY(guard.isNull());
    QTRY_VERIFY(main.ClientArea->subWindowList().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!main.N20->actions().contains(main.menumeasure), 2 * TForm1::RefreshIntervalMs);
    QVERIFY(SystemVars.measureMenuEnabled);
    QVERIFY(SystemVars.measureWindow.isNull());
    QCOMPARE(m_env->dialogs.shown.size(), 2);
    qunsetenv("ODBCINI");
}

QTEST_MAIN(TestMeasuringWindow)
#include "tst_measuringwindow.moc"
