// The import window: downloads of the thermometer's stored records over a
// pseudo-terminal with the simulator, the waits and their failures, the
// line held during a download, closing, the unit change, and opening
// through the main window.
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "measure/chartnavigationbar.h"
#include "measure/Measuring.h"
#include "measure/datachart.h"
#include "measure/measuregrid.h"
#include "recordmoments.h"
#include "shell/MAIN.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

const QString NoData = QStringLiteral("Have no data in IR \ror connecting are broken!");
const QString ConnectError =
    QStringLiteral("COM port connect error!\rPlease turn on IR thermometer or Change COM port Set-up!");
const QString PortBusy = QStringLiteral("Serial Port is used by other applications");
const QString PreviousArriving = QStringLiteral("The records of the previous download are still arriving.\r"
                                                "Please start again once they have ended.");

QStringList statistics(const TForm4 *w)
{
    return {w->Edit1->text(), w->Edit2->text(), w->Edit3->text(), w->Edit4->text()};
}

// Empty when every row carries a date and a time of the span, in order.
QString momentsFault(const QVector<MeasureRecord> &rows, const ClockSpan &span)
{
    QDateTime previous;
    for (const MeasureRecord &r : rows) {
        const QString fault = momentFault(r.date, r.time, span, previous, &previous);
        if (!fault.isEmpty())
            return QStringLiteral("row %1: %2").arg(r.recno).arg(fault);
    }
    return QString();
}

} // namespace

class TestImportWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fullMemoryArrivesWhole();
    void smallDownloads_data();
    void smallDownloads();
    void connectsRightAfterStart_data();
    void connectsRightAfterStart();
    void unpluggedAfterWholeRecords_data();
    void unpluggedAfterWholeRecords();
    void closingIdleMeasurementWindowLeavesTheDownloadAlone();
    void slowSteadyReplyKeepsTheWaitGoing();
    void noRecordsHaveNoData_data();
    void noRecordsHaveNoData();
    void noSettingsReplyIsAConnectError();
    void startWhileTheLineIsHeld();
    void saveThatWritesNothingKeepsSaveOffered_data();
    void saveThatWritesNothingKeepsSaveOffered();
    void closeWithUnsavedRows_data();
    void closeWithUnsavedRows();
    void closedWhileDownloading_data();
    void closedWhileDownloading();
    void startWhileAbandonedDownloadArrives();
    void unitChangeRoundTrip();
    void unitChangeWhileWaiting();
    void openedThroughMainWindow();

private:
    void startSimulator(const QStringList &extra);
    TForm4 *openWindow(bool celsius);
    // Starts an import and returns once the window is idle again.
    void import();
    bool isIdle() const;
    MeasureTable &getRecorde() { return m_link->Table2; }

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TForm6> m_link;
    QPointer<TForm4> m_window;
};

void TestImportWindow::init()
{
    m_env = std::make_unique<ProgramEnv>();
}

void TestImportWindow::cleanup()
{
    delete m_window;
    m_link.reset();
    m_sim.reset();
    m_env.reset();
}

void TestImportWindow::startSimulator(const QStringList &extra)
{
    m_sim = std::make_unique<Simulator>(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"), extra);
    QVERIFY(m_sim->running());
    m_env->dir.writeSettings(m_env->dir.path("thermometer"));
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
}

TForm4 *TestImportWindow::openWindow(bool celsius)
{
    SystemVars.unitCelsius = celsius;
    m_window = new TForm4;
    SystemVars.importWindow = m_window.data();
    m_window->show();
    return m_window;
}

void TestImportWindow::import()
{
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    m_window->BitBtn1->click();
}

bool TestImportWindow::isIdle() const
{
    const TSystemVars &v = SystemVars;
    return !v.deviceBusy && v.commState == CommIdle && !v.tableBusy && m_window->BitBtn1->isEnabled() &&
           !m_window->Label7->isVisible() && !m_window->importing();
}

// A full memory of 5000 records arrives as 5000 rows in order, values and
// emissivities as sent (an emissivity out of range carries the last one
// over), while the line stays held for the whole download.
void TestImportWindow::fullMemoryArrivesWhole()
{
    // Emissivity bytes 80, 5 (out of range), 95 in turn.
    startSimulator({"--records", "5000", "--profile", "ramp:-500:7", "--record-ems", "80,5,95"});
    openWindow(true);
    QStringList waitingTexts;
    QStringList countsShown; // the record counts shown while waiting, in order
    bool heldThroughout = true;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
        if (!m_window->importing())
            return;
        const TSystemVars &v = SystemVars;
        heldThroughout = heldThroughout && v.deviceBusy && v.commState == CommDownloading &&
                         !m_window->BitBtn1->isEnabled() && !m_window->BitBtn5->isEnabled();
        const QString text = m_window->Label7->text();
        if (m_window->Label7->isVisible() && !text.isEmpty() && !waitingTexts.contains(text))
            waitingTexts << m_window->Label7->text();
        const QString received = m_window->RecordsLabel->text();
        if (m_window->Label7->isVisible() && !countsShown.contains(received))
            countsShown << received;
    });
    sampler.start(50);
    import();
    sampler.stop();

    QVERIFY(m_env->dialogs.shown.isEmpty());
    QVERIFY(isIdle());
    QVERIFY(heldThroughout);
    QCOMPARE(waitingTexts.size(), 8);
    QVERIFY(waitingTexts.contains(QStringLiteral("Please waiting .........")));
    // The count rises while the reply arrives, from none to some short of all,
    // and the status names all the simulator sent once the import has ended.
    QVERIFY2(countsShown.size() >= 3, qPrintable(countsShown.join(QLatin1Char('|'))));
    QCOMPARE(countsShown.first(), QStringLiteral("0 records received"));
    int previous = -1;
    bool partShown = false;
    for (const QString &text : countsShown) {
        QVERIFY2(text.endsWith(QLatin1String(" records received")), qPrintable(text));
        const int count = text.section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY2(count > previous, qPrintable(countsShown.join(QLatin1Char('|'))));
        partShown = partShown || (count > 0 && count < 5000);
        previous = count;
    }
    QVERIFY(partShown);
    QCOMPARE(m_window->RecordsLabel->text(), QStringLiteral("Import ended: 5000 records"));
    QVERIFY(m_window->RecordsLabel->isVisible());
    const QVector<MeasureRecord> &rows = getRecorde().rows();
    QCOMPARE(rows.size(), 5000);
    QVector<double> expected;
    for (int i = 0; i < 5000; ++i) {
        const MeasureRecord &r = rows.at(i);
        const double value = (-500 + 7 * i) / 10.0;
        expected << value;
        if (r.recno != i + 1 || !qFuzzyCompare(r.meavalue, value) || r.unit != QLatin1String("C") ||
            r.ems != (i % 3 == 2 ? 0.95 : 0.80))
            QFAIL(qPrintable(QStringLiteral("row %1: %2 %3 %4 %5")
                                 .arg(i + 1)
                                 .arg(r.recno)
                                 .arg(r.meavalue)
                                 .arg(r.unit)
                                 .arg(r.ems)));
    }
    QCOMPARE(m_window->Chart1->seriesData(0), expected);
    QCOMPARE(statistics(m_window), (QStringList{"3449.3", "-50", "1699.7", "5000"}));
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 3449.3);
    QVERIFY(m_window->BitBtn5->isEnabled());
    QVERIFY(m_window->NavigationBar->printButton()->isEnabled());
    // The table's last row is the current one, and the extremes are coloured.
    QCOMPARE(getRecorde().cursor(), 4999);
    QCOMPARE(m_window->DBGridEh1->rowBackground(4999), QColor(255, 0, 0));
    QCOMPARE(m_window->DBGridEh1->rowBackground(0), QColor(128, 0, 128));
    QVERIFY(!m_window->DBGridEh1->rowBackground(1).isValid());
}

void TestImportWindow::smallDownloads_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QStringList>("shown"); // MAX, MIN, AVG, Records
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("axisMin");

    QTest::newRow("one record: max, min and average alike")
        << true << QStringList{"--records", "1", "--profile", "constant:253"} << QList<double>{25.3}
        << QStringList{"25.3", "25.3", "25.3", "1"} << "C" << 200.0;
    QTest::newRow("Fahrenheit window converts while filling")
        << false << QStringList{"--records", "2", "--profile", "list:253,2500"} << QList<double>{77.5, 482}
        << QStringList{"482", "77.5", "279.8", "2"} << "F" << 392.0;
    // Switched off after four whole records and two bytes of the fifth.
    QTest::newRow("reply ends early: whole records only")
        << true << QStringList{"--records", "10", "--profile", "ramp:100:10", "--records-cut", "29"}
        << QList<double>{10, 11, 12, 13} << QStringList{"13", "10", "11.5", "4"} << "C" << 200.0;
}

void TestImportWindow::smallDownloads()
{
    QFETCH(bool, celsius);
    QFETCH(QStringList, simulator);
    QFETCH(QList<double>, values);
    QFETCH(QStringList, shown);
    QFETCH(QString, unit);
    QFETCH(double, axisMin);

    startSimulator(simulator);
    openWindow(celsius);
    ClockSpan span = ClockSpan::startingNow();
    import();
    span.end();

    QVERIFY(m_env->dialogs.shown.isEmpty());
    QVERIFY(isIdle());
    const QString moments = momentsFault(getRecorde().rows(), span);
    QVERIFY2(moments.isEmpty(), qPrintable(moments));
    QList<double> stored;
    for (const MeasureRecord &r : getRecorde().rows()) {
        stored << r.meavalue;
        QCOMPARE(r.unit, unit);
    }
    QCOMPARE(stored, values);
    QCOMPARE(statistics(m_window), shown);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, axisMin);
    if (values.size() == 1)
        QCOMPARE(m_window->DBGridEh1->rowBackground(0), QColor(128, 0, 128));
}

void TestImportWindow::connectsRightAfterStart_data()
{
    QTest::addColumn<bool>("switchedOn"); // else the program has just started
    QTest::newRow("program just started: the import opens the port") << false;
    QTest::newRow("thermometer just switched on: the port is open") << true;
}

// The settings reply of the import's own connect is parsed as quickly as
// any other, so the 200 ms check finds it: the records follow.
void TestImportWindow::connectsRightAfterStart()
{
    QFETCH(bool, switchedOn);
    const QStringList memory{"--records", "3", "--profile", "list:300,310,320"};
    startSimulator(switchedOn ? memory + QStringList{"--silent"} : memory);
    openWindow(true);
    if (switchedOn) {
        // The poll has opened the port and asked in vain.
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commands().contains(QStringLiteral("ATA")), 5000);
        QVERIFY(SystemVars.portOpen && !SystemVars.settingsRead);
        m_sim->toggleSilence();
    } else {
        QVERIFY(!SystemVars.portOpen);
    }
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.texts(), QStringList());
    QVERIFY(isIdle());
    QList<double> stored;
    for (const MeasureRecord &r : getRecorde().rows())
        stored << r.meavalue;
    QCOMPARE(stored, (QList<double>{30, 31, 32}));
    QCOMPARE(m_sim->commands().count(QStringLiteral("ATP")), 1);
}

void TestImportWindow::unpluggedAfterWholeRecords_data()
{
    QTest::addColumn<int>("records"); // whole records sent before the line went dead
    QTest::addColumn<QString>("message");
    QTest::newRow("four records") << 4
                                  << "The connection to the thermometer broke after 4 records.\r"
                                     "The records that arrived are shown; the thermometer may hold more.";
    QTest::newRow("one record") << 1
                                << "The connection to the thermometer broke after 1 record.\r"
                                   "The records that arrived are shown; the thermometer may hold more.";
    QTest::newRow("none") << 0 << NoData;
}

// The thermometer is unplugged after some whole records of a download of
// ten: exactly those are shown and may be saved, with their values and
// emissivities as sent, and the message says how far the download came.
void TestImportWindow::unpluggedAfterWholeRecords()
{
    QFETCH(int, records);
    QFETCH(QString, message);
    const QList<int> sent{253, -120, 999, 5, 371, 250, 250, 250, 250, 250};
    const QList<double> sentEms{0.95, 0.80, 0.95, 0.95, 0.80, 0.95, 0.95, 0.80, 0.95, 0.95};
    startSimulator({"--records", "10", "--profile", "list:253,-120,999,5,371,250", "--record-ems",
                    "95,80,195", "--drop-after-records", QString::number(records)});
    openWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    ClockSpan span = ClockSpan::startingNow();
    m_window->BitBtn1->click();
    span.end();

    // The line went dead: the simulator has ended, and the poll cannot
    // reopen the port (its own message, once, is no part of the import's).
    QTRY_VERIFY_WITH_TIMEOUT(!m_sim->running(), 5000);
    QStringList importTexts = m_env->dialogs.texts();
    importTexts.removeIf(
        [](const QString &t) { return t.startsWith(QStringLiteral("Can not open COM port")); });
    QCOMPARE(importTexts, QStringList{message});
    QVERIFY(isIdle());
    const QVector<MeasureRecord> &rows = getRecorde().rows();
    QCOMPARE(rows.size(), records);
    for (int i = 0; i < records; ++i) {
        QCOMPARE(rows.at(i).recno, qint64(i + 1));
        QCOMPARE(rows.at(i).meavalue, sent.at(i) / 10.0);
        QCOMPARE(rows.at(i).ems, sentEms.at(i));
    }
    const QString moments = momentsFault(rows, span);
    QVERIFY2(moments.isEmpty(), qPrintable(moments));
    QCOMPARE(m_window->Chart1->seriesData(0).size(), records);
    QCOMPARE(m_window->Edit4->text(), records ? QString::number(records) : QString());
    QCOMPARE(m_window->BitBtn5->isEnabled(), records > 0);
}

// An idle measurement window closed while the import holds the line writes
// nothing into the download: the thermometer receives only what the
// import and its connect send, and every record arrives.
void TestImportWindow::closingIdleMeasurementWindowLeavesTheDownloadAlone()
{
    startSimulator({"--records", "1000", "--profile", "ramp:0:1"}); // about 3 s on the line
    openWindow(true);
    QPointer<TForm5> measuring = new TForm5;
    SystemVars.measureWindow = measuring.data();
    measuring->show();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    const int before = int(m_sim->commands().size());
    bool closedDuringDownload = false;
    QTimer::singleShot(1000, this, [&] {
        closedDuringDownload = m_window->importing();
        QVERIFY(measuring->close());
    });
    m_window->BitBtn1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(closedDuringDownload);
    QVERIFY(measuring.isNull());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(getRecorde().recordCount(), 1000);
    QCOMPARE(getRecorde().rows().last().meavalue, 99.9);
    // Wait for anything still on its way to the thermometer.
    QTest::qWait(500);
    QCOMPARE(m_sim->commands().mid(before).filter(QStringLiteral("ATU")), QStringList());
    QCOMPARE(m_sim->commands().mid(before).count(QStringLiteral("ATP")), 1);
}

// A thermometer that sends its records slowly, a byte every 40 ms, takes
// longer than the ten idle seconds in all; the bytes keep the wait going.
void TestImportWindow::slowSteadyReplyKeepsTheWaitGoing()
{
    startSimulator({"--records", "50", "--records-byte-gap", "40"});
    openWindow(true);
    QElapsedTimer clock;
    clock.start();
    import();
    QVERIFY2(clock.elapsed() > 11000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(getRecorde().recordCount(), 50);
}

void TestImportWindow::noRecordsHaveNoData_data()
{
    QTest::addColumn<bool>("silent"); // else the reply holds no record
    QTest::newRow("thermometer falls silent") << true;
    QTest::newRow("memory holds no records") << false;
}

// The records of an earlier import go with the start of the next one, their
// count included, when that one brings none.
void TestImportWindow::noRecordsHaveNoData()
{
    QFETCH(bool, silent);
    startSimulator({"--records", silent ? "3" : "0"});
    openWindow(true);
    import();
    if (silent) {
        QCOMPARE(statistics(m_window).value(3), QStringLiteral("3"));
        m_sim->toggleSilence();
        import();
    }

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].text, NoData);
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Error Infromation"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Information);
    QCOMPARE(m_env->dialogs.shown[0].buttons, Dialogs::Buttons(Dialogs::Ok));
    QVERIFY(isIdle());
    QVERIFY(getRecorde().isEmpty());
    QCOMPARE(statistics(m_window), (QStringList{"0.0", "0.0", "0.0", ""}));
    QVERIFY(!m_window->BitBtn5->isEnabled());
    QVERIFY(m_window->Chart1->seriesData(0).isEmpty());
    QCOMPARE(m_sim->commands().count(QStringLiteral("ATP")), silent ? 2 : 1);
}

void TestImportWindow::noSettingsReplyIsAConnectError()
{
    startSimulator({"--silent"});
    m_link->Timer1.setEnabled(false); // the port stays closed until the import opens it
    openWindow(false);
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.texts(), QStringList{ConnectError});
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Error Information"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(isIdle());
    QCOMPARE(statistics(m_window), (QStringList{"32.0", "32.0", "32.0", ""}));
    QVERIFY(!m_window->BitBtn5->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->commands(), QStringList{"ATA"}, 3000);
}

// While another window holds the thermometer (a live measurement), a start
// only says so: the previous import stays as it is.
void TestImportWindow::startWhileTheLineIsHeld()
{
    startSimulator({"--records", "3", "--profile", "list:300,310,320"});
    openWindow(true);
    import();
    QCOMPARE(getRecorde().recordCount(), 3);
    const QStringList before = statistics(m_window);

    SystemVars.deviceBusy = true;
    SystemVars.commState = CommMeasuring;
    m_window->BitBtn1->click();

    QCOMPARE(m_env->dialogs.texts(), QStringList{PortBusy});
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(getRecorde().recordCount(), 3);
    QCOMPARE(statistics(m_window), before);
    QCOMPARE(m_window->Chart1->seriesData(0).size(), 3);
    QVERIFY(m_window->BitBtn1->isEnabled() && m_window->BitBtn5->isEnabled());
    QVERIFY(SystemVars.deviceBusy);
    QCOMPARE(SystemVars.commState, qint16(CommMeasuring));
    QCOMPARE(m_sim->commands().count(QStringLiteral("ATP")), 1);
}

void TestImportWindow::saveThatWritesNothingKeepsSaveOffered_data()
{
    QTest::addColumn<QString>("chosen"); // in the save dialog
    QTest::addColumn<bool>("refuse");    // No to the overwrite question
    QTest::addColumn<QString>("error");  // the start of the error report, if any
    QTest::newRow("overwrite refused") << "existing.klg" << true << "";
    QTest::newRow("file cannot be written") << "no-such-folder/x.klg" << false << "Cannot create file ";
}

// Nothing reaches the disk: the records stay unsaved, Save stays offered for
// another try, an old file stays as it was, and a failure is reported.
void TestImportWindow::saveThatWritesNothingKeepsSaveOffered()
{
    QFETCH(QString, chosen);
    QFETCH(bool, refuse);
    QFETCH(QString, error);

    startSimulator({"--records", "2"});
    openWindow(true);
    import();
    m_env->dir.writeFile(QStringLiteral("existing.klg"), "old\n");
    m_env->dialogs.fileAnswers << m_env->dir.path(chosen);
    if (refuse)
        m_env->dialogs.answers << Dialogs::No;

    m_window->BitBtn5->click();

    QVERIFY(m_env->dialogs.fileAnswers.isEmpty());
    QVERIFY(m_window->hasUnsavedRows());
    QVERIFY(m_window->BitBtn5->isEnabled());
    QVERIFY(m_window->Edit5->text().isEmpty());
    QCOMPARE(m_env->dir.readFile(QStringLiteral("existing.klg")), QByteArray("old\n"));
    // One box: the overwrite question or the error report.
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    if (!error.isEmpty()) {
        QVERIFY2(m_env->dialogs.shown[0].text.startsWith(error), qPrintable(m_env->dialogs.shown[0].text));
        QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    }
}

void TestImportWindow::closeWithUnsavedRows_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("No") << QList<int>{Dialogs::No} << "" << true << false;
    QTest::newRow("Cancel") << QList<int>{Dialogs::Cancel} << "" << false << false;
    QTest::newRow("Yes, file written") << QList<int>{Dialogs::Yes} << "import.klg" << true << true;
    QTest::newRow("Yes, dialog cancelled") << QList<int>{Dialogs::Yes} << "" << false << false;
    QTest::newRow("Yes, overwrite refused")
        << QList<int>{Dialogs::Yes, Dialogs::No} << "existing.klg" << false << false;
    QTest::newRow("Yes, file cannot be written")
        << QList<int>{Dialogs::Yes} << "no-such-folder/x.klg" << false << false;
}

void TestImportWindow::closeWithUnsavedRows()
{
    QFETCH(QList<int>, answers);
    QFETCH(QString, file);
    QFETCH(bool, closes);
    QFETCH(bool, written);

    startSimulator({"--records", "2"});
    openWindow(true);
    import();
    m_env->dir.writeFile(QStringLiteral("existing.klg"), "old\n");
    for (int a : answers)
        m_env->dialogs.answers << Dialogs::Button(a);
    if (!file.isEmpty())
        m_env->dialogs.fileAnswers << m_env->dir.path(file);

    QCOMPARE(m_window->close(), closes);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const TSystemVars &v = SystemVars;
    QCOMPARE(m_env->dialogs.shown.value(0).text,
             QStringLiteral("Up-load data have not save yet!\rDo you want to save data?"));
    QCOMPARE(m_env->dialogs.shown.value(0).caption, QStringLiteral("Query Information"));
    QCOMPARE(m_env->dialogs.shown.value(0).icon, Dialogs::Icon::Question);
    QCOMPARE(m_env->dialogs.shown.value(0).buttons,
             Dialogs::Buttons(Dialogs::Yes | Dialogs::No | Dialogs::Cancel));
    QCOMPARE(m_window.isNull(), closes);
    QCOMPARE(v.importWindow.isNull(), closes);
    QCOMPARE(v.importMenuEnabled, closes);
    QCOMPARE(v.removeImportItem, closes);
    QCOMPARE(QFileInfo(m_env->dir.path(file)).isFile() && m_env->dir.readFile(file) != "old\n", written);
    // The rows stay in the table either way, until the next import window.
    QCOMPARE(getRecorde().recordCount(), 2);
    if (closes)
        return;
    QVERIFY(m_window->BitBtn5->isEnabled());
    QCOMPARE(m_window->Edit4->text(), QStringLiteral("2"));
}

void TestImportWindow::closedWhileDownloading_data()
{
    QTest::addColumn<bool>("programEnds");
    QTest::newRow("window closed") << false;
    QTest::newRow("program ends") << true;
}

// Closing the window while the records arrive abandons the import: the
// window goes at once, nothing is stored, and the line is released once the
// reply is over (the program ending releases it at once).
void TestImportWindow::closedWhileDownloading()
{
    QFETCH(bool, programEnds);

    startSimulator({"--records", "1000"}); // about 3 s on the line
    openWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    bool heldAfterClose = false;
    QElapsedTimer clock;
    QTimer::singleShot(1000, this, [&] {
        if (programEnds) {
            m_link->FormClose();
        } else {
            QVERIFY(m_window->close());
            heldAfterClose = SystemVars.deviceBusy && SystemVars.commState == CommDownloading;
        }
        clock.start();
    });
    m_window->BitBtn1Click();

    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(m_window.isNull(), !programEnds);
    QCOMPARE(heldAfterClose, !programEnds);
    QVERIFY(programEnds ? clock.elapsed() < 1000 : clock.elapsed() > 1000);
    const TSystemVars &v = SystemVars;
    QVERIFY(!v.deviceBusy && !v.tableBusy);
    QCOMPARE(v.commState, qint16(CommIdle));
    QVERIFY(getRecorde().isEmpty());
    QVERIFY(v.importWindow.isNull() != programEnds);
}

// A window closed while its records arrive leaves the line held until the
// reply is over. A start in the next import window meanwhile says that the
// previous download is still arriving; once it is over, a start works.
void TestImportWindow::startWhileAbandonedDownloadArrives()
{
    startSimulator({"--records", "1000"}); // about 3 s on the line
    openWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    QPointer<TForm4> next;
    QStringList shownMeanwhile;
    bool nextReady = false;
    QTimer::singleShot(1000, this, [&] {
        QVERIFY(m_window->close());
        next = new TForm4;
        SystemVars.importWindow = next.data();
        next->show();
        next->BitBtn1->click();
        shownMeanwhile = m_env->dialogs.texts();
        nextReady = next->BitBtn1->isEnabled() && !next->importing();
    });
    m_window->BitBtn1Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(shownMeanwhile, QStringList{PreviousArriving});
    QCOMPARE(m_env->dialogs.shown.value(0).caption, QStringLiteral("Serial Port Error"));
    QCOMPARE(m_env->dialogs.shown.value(0).icon, Dialogs::Icon::Information);
    QVERIFY(nextReady);
    QVERIFY(next);
    m_window = next;
    QVERIFY(isIdle());
    m_window->BitBtn1->click();
    QCOMPARE(m_env->dialogs.texts(), QStringList{PreviousArriving});
    QCOMPARE(getRecorde().recordCount(), 1000);
}

// A unit change converts the imported rows there and back, with the
// statistics and the chart following.
void TestImportWindow::unitChangeRoundTrip()
{
    startSimulator({"--records", "3", "--profile", "list:253,366,5100"});
    openWindow(true);
    import();

    SystemVars.unitCelsius = false;
    sendWindowMessage(SystemVars.importWindow, WM_CHANGEUNIT);
    QCOMPARE(m_window->Chart1->seriesData(0), (QVector<double>{77.5, 97.9, 950}));
    QCOMPARE(statistics(m_window), (QStringList{"950.0", "77.5", "375.1", "3"}));
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature         (Unit:  F)"));
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, 392.0);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 950.0);
    QCOMPARE(getRecorde().rows().first().unit, QStringLiteral("F"));
    QVERIFY(!m_window->windowCelsius());

    SystemVars.unitCelsius = true;
    sendWindowMessage(SystemVars.importWindow, WM_CHANGEUNIT);
    QCOMPARE(m_window->Chart1->seriesData(0), (QVector<double>{25.3, 36.6, 510}));
    QCOMPARE(statistics(m_window), (QStringList{"510.0", "25.3", "190.6", "3"}));
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature         (Unit: C)"));
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 510.0);
    QCOMPARE(getRecorde().rows().first().unit, QStringLiteral("C"));
    QCOMPARE(m_window->DBGridEh1->rowBackground(2), QColor(255, 0, 0));
}

// The unit changes while the next import waits for its records: the
// emptied table has no extremes, and the statistics show the empty table's
// values in the new unit, not the last import's. The records that then
// arrive are filled in the new unit.
void TestImportWindow::unitChangeWhileWaiting()
{
    startSimulator({"--records", "1000", "--profile", "ramp:100:2"}); // about 3 s on the line
    openWindow(true);
    import();
    QCOMPARE(statistics(m_window), (QStringList{"209.8", "10", "109.9", "1000"}));

    QStringList shownWhileWaiting;
    QTimer::singleShot(1000, this, [&] {
        QVERIFY(m_window->importing());
        QVERIFY(getRecorde().isEmpty());
        SystemVars.unitCelsius = false;
        sendWindowMessage(SystemVars.importWindow, WM_CHANGEUNIT);
        shownWhileWaiting = statistics(m_window);
    });
    m_window->BitBtn1->click();

    QCOMPARE(shownWhileWaiting, (QStringList{"32.0", "32.0", "32.0", ""}));
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(statistics(m_window), (QStringList{"409.6", "50", "229.8", "1000"}));
    QCOMPARE(getRecorde().rows().first().unit, QStringLiteral("F"));
}

void TestImportWindow::openedThroughMainWindow()
{
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    startSimulator({"--records", "2"});
    TForm1 main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(main.N16->isEnabled());
    main.N16Click();

    m_window = qobject_cast<TForm4 *>(SystemVars.importWindow.data());
    QVERIFY(m_window);
    auto *frame = qobject_cast<QMdiSubWindow *>(m_window->parentWidget());
    QVERIFY(frame && frame->isMaximized());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Kelvora Import Data "));
    main.FormPaint();
    QVERIFY(!main.N16->isEnabled());
    QVERIFY(main.N20->actions().contains(main.importdata));
    QVERIFY(!main.N15->isEnabled());

    // The main window's Save follows the window's Save button.
    import();
    main.FormPaint();
    QVERIFY(main.N15->isEnabled());
    m_env->dialogs.fileAnswers << m_env->dir.path(QStringLiteral("via-menu.klg"));
    main.N15Click();
    QVERIFY(QFileInfo::exists(m_env->dir.path(QStringLiteral("via-menu.klg"))));
    QVERIFY(!m_window->BitBtn5->isEnabled());

    frame->close();
    QTRY_VERIFY(m_window.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!main.N20->actions().contains(main.importdata), 2 * TForm1::RefreshIntervalMs);
    QVERIFY(main.N16->isEnabled());
    qunsetenv("ODBCINI");
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
