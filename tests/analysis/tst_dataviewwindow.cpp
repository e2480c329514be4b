// The data view window: log files loaded side by side with their numbering,
// bounds, colours and series; the ten-file limit; a load that fails part-way;
// the unit change; edits in the grid; progress while a file is read; and
// opening, reusing and closing the window through the main window.
#include "analysis/klgload.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/chartnavigationbar.h"
#include "measure/datachart.h"
#include "measure/measuregrid.h"
#include "shell/MAIN.h"
#include "storetestsupport.h"
#include "store/measuretablemodel.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QValueAxis>
#include <QtTest>

#include <memory>

namespace {

const QString TooManyFiles =
    QStringLiteral("Sorry, the current version only support to open \r10 reports at the same time.");

// A log file as the measurement window saves it, one record line per value.
QByteArray logFile(const QList<double> &values, const QString &unit = QStringLiteral("C"))
{
    QByteArray out = "@Quellmarkon KLG File\r\nTotal:" + QByteArray::number(values.size()) + "\r\n";
    for (int i = 0; i < values.size(); ++i)
        out += QStringLiteral("2024-05-01,10:%1:%2,%3,0.95,%4\r\n")
                   .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                   .arg(QString::number(values.at(i), 'f', 1), -6)
                   .arg(unit)
                   .toLatin1();
    return out;
}

// A log file with a record line at each "date,time", values 300, 301, ...
QByteArray logFileAt(const QStringList &stamps)
{
    QByteArray out = "@Quellmarkon KLG File\r\nTotal:" + QByteArray::number(stamps.size()) + "\r\n";
    for (int i = 0; i < stamps.size(); ++i)
        out += QStringLiteral("%1,%2,0.95,C\r\n").arg(stamps.at(i)).arg(300.0 + i, -6, 'f', 1).toLatin1();
    return out;
}

QList<double> ramp(double from, int count)
{
    QList<double> out;
    for (int i = 0; i < count; ++i)
        out << from + i;
    return out;
}

// Rows of LoadData as "recno|meavalue|unit".
QStringList rowTexts(const MeasureTable &table)
{
    QStringList out;
    for (const MeasureRecord &r : table.rows())
        out << QStringLiteral("%1|%2|%3").arg(r.recno).arg(r.meavalue).arg(r.unit);
    return out;
}

QList<int> firstBounds(const FileBounds &bounds, int count)
{
    QList<int> out;
    for (int k = 0; k < count; ++k)
        out << bounds[std::size_t(k)];
    return out;
}

} // namespace

class TestDataViewWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createdEmptyForTheUnit_data();
    void createdEmptyForTheUnit();
    void filesLoadSideBySide_data();
    void filesLoadSideBySide();
    void eleventhFileRefusedWithoutDialog();
    void failedLoadLeavesNothingBehind_data();
    void failedLoadLeavesNothingBehind();
    void onlyFileFailingLeavesTheWindowAsCreated();
    void cancelledLoadLeavesNothingBehind_data();
    void cancelledLoadLeavesNothingBehind();
    void unitChangeKeepsEveryRowsSeries();
    void lineBreaksAtAGapInTheFile_data();
    void lineBreaksAtAGapInTheFile();
    void loadAfterFailedUnitChangeKeepsTheWindowsUnit();
    void editedCellReachesTheDatabase_data();
    void editedCellReachesTheDatabase();
    void progressShownWhileTheWindowStaysResponsive();
    void openedReusedAndClosedThroughMainWindow();

private:
    void startWindow(bool celsius);
    QString writeLog(const QString &name, const QByteArray &content);
    // Loads the named file as if chosen in the open dialog; a failure goes
    // to the error report, as from the Open command.
    void load(const QString &path);
    MeasureTable &loadData() { return m_link->Table3; }
    QString storedValue(qint64 recno, const char *column);
    QList<QVector<double>> seriesData() const;

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
    QPointer<TForm7> m_window;
};

void TestDataViewWindow::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_env->dir.writeSettings(QString());
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
}

void TestDataViewWindow::cleanup()
{
    delete m_window;
    m_link.reset();
    m_env.reset();
}

void TestDataViewWindow::startWindow(bool celsius)
{
    SystemVars.unitCelsius = celsius;
    m_window = new TForm7;
    SystemVars.analyzeWindow = m_window.data();
    SystemVars.analyzeWindowOpen = true;
    m_window->resize(1000, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

QString TestDataViewWindow::writeLog(const QString &name, const QByteArray &content)
{
    m_env->dir.writeFile(name, content);
    return m_env->dir.path(name);
}

void TestDataViewWindow::load(const QString &path)
{
    m_env->dialogs.fileAnswers << path;
    guardedHandler([this] { m_window->LoadData(); });
}

QString TestDataViewWindow::storedValue(qint64 recno, const char *column)
{
    QSqlQuery query(m_link->Database1.connection());
    if (!query.exec(QStringLiteral("SELECT %1 FROM LoadData WHERE rowid = %2")
                        .arg(QLatin1String(column))
                        .arg(recno)) ||
        !query.next())
        return QStringLiteral("<none>");
    return query.value(0).toString();
}

QList<QVector<double>> TestDataViewWindow::seriesData() const
{
    QList<QVector<double>> out;
    for (int k = 0; k < TForm7::SeriesCount; ++k)
        out << m_window->Chart1->seriesData(k);
    return out;
}

void TestDataViewWindow::createdEmptyForTheUnit_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QString>("title");
    QTest::addColumn<double>("axisMin");
    QTest::addColumn<double>("axisMax");
    QTest::newRow("Celsius") << true << "Temperature        (Unit:  C)" << 200.0 << 500.0;
    QTest::newRow("Fahrenheit") << false << "Temperature        (Unit:  F)" << 392.0 << 932.0;
}

// Creation: ten series in the files' colours, the axis of the unit, Reset
// and Print Graph enabled, nothing counted.
void TestDataViewWindow::createdEmptyForTheUnit()
{
    QFETCH(bool, celsius);
    QFETCH(QString, title);
    QFETCH(double, axisMin);
    QFETCH(double, axisMax);
    SystemVars.loadedFileCount = 7; // left by an earlier window
    startWindow(celsius);

    QCOMPARE(m_window->objectName(), QStringLiteral("Form7"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Data View & Analyze"));
    QCOMPARE(m_window->Chart1->title(), QStringLiteral("Data Analyze"));
    QCOMPARE(m_window->Chart1->seriesCount(), 10);
    const QList<QColor> colours = {QColor(0, 0, 255),     QColor(0, 128, 0),
                                   QColor(0, 0, 128),     QColor(255, 0, 0),
                                   QColor(128, 0, 128),   QGuiApplication::palette().color(QPalette::Dark),
                                   QColor(128, 0, 0),     QColor(0, 128, 128),
                                   QColor(192, 220, 192), QColor(255, 255, 0)};
    for (int k = 0; k < 10; ++k)
        QCOMPARE(m_window->Chart1->seriesColour(k), colours.at(k));
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), title);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, axisMin);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, axisMax);
    QCOMPARE(m_window->windowCelsius(), celsius);
    QCOMPARE(SystemVars.loadedFileCount, qint16(0));
    QVERIFY(m_window->NavigationBar->resetButton()->isEnabled());
    QVERIFY(m_window->NavigationBar->printButton()->isEnabled());
    QCOMPARE(m_window->NavigationBar->resetButton()->text(), QStringLiteral("Reset Zoom"));
    for (QLineEdit *edit : {m_window->Edit1, m_window->Edit2, m_window->Edit3})
        QVERIFY(!edit->isEnabled());
    QCOMPARE(m_window->DBGridEh1->width(), 305);
}

void TestDataViewWindow::filesLoadSideBySide_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QStringList>("rows");    // recno|meavalue|unit
    QTest::addColumn<QList<int>>("rowFiles"); // the file (series, colour) of each row
    QTest::addColumn<QList<int>>("bounds");   // the first three
    QTest::addColumn<QString>("fileNumbers");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<double>("axisMax");

    QTest::newRow("files of 5 and 3 records")
        << QByteArrayList{logFile(ramp(300, 5)), logFile(ramp(400, 3))} << true
        << QStringList{"1|300|C", "2|301|C", "3|302|C", "4|303|C", "5|304|C", "6|400|C", "7|401|C", "8|402|C"}
        << QList<int>{0, 0, 0, 0, 0, 1, 1, 1} << QList<int>{6, 9, 0} << "2"
        << "300"
        << "402" << 500.0;
    QTest::newRow("Fahrenheit file while the unit is Celsius")
        << QByteArrayList{logFile({77.5, 98.6}, QStringLiteral("F"))} << true
        << QStringList{"1|25.3|C", "2|37|C"} << QList<int>{0, 0} << QList<int>{3, 0, 0} << "1"
        << "25.3"
        << "37" << 500.0;
    QTest::newRow("Celsius file while the unit is Fahrenheit")
        << QByteArrayList{logFile({25.3, 600.0})} << false << QStringList{"1|77.5|F", "2|1112|F"}
        << QList<int>{0, 0} << QList<int>{3, 0, 0} << "1"
        << "77.5"
        << "1112" << 1112.0;
    QTest::newRow("a value above 500.0 C widens the axis")
        << QByteArrayList{logFile({250.0, 612.5})} << true << QStringList{"1|250|C", "2|612.5|C"}
        << QList<int>{0, 0} << QList<int>{3, 0, 0} << "1"
        << "250"
        << "612.5" << 612.5;
    QTest::newRow("a file without the header is ignored")
        << QByteArrayList{"Total:1\r\n2024-05-01,10:00:00,300.0 ,0.95,C\r\n", logFile({310.0})} << true
        << QStringList{"1|310|C"} << QList<int>{0} << QList<int>{2, 0, 0} << "1"
        << "310"
        << "310" << 500.0;
    QTest::newRow("an empty body is counted with its bound")
        << QByteArrayList{logFile({}), logFile({320.0, 330.0}), logFile({340.0})} << true
        << QStringList{"1|320|C", "2|330|C", "3|340|C"} << QList<int>{1, 1, 2} << QList<int>{1, 3, 4} << "3"
        << "320"
        << "340" << 500.0;
}

// Every file keeps its own series and colour; numbering and extremes run
// over all files.
void TestDataViewWindow::filesLoadSideBySide()
{
    QFETCH(QByteArrayList, files);
    QFETCH(bool, celsius);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, rowFiles);
    QFETCH(QList<int>, bounds);
    QFETCH(QString, fileNumbers);
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(double, axisMax);
    startWindow(celsius);
    for (int i = 0; i < files.size(); ++i)
        load(writeLog(QStringLiteral("file%1.klg").arg(i), files.at(i)));

    QCOMPARE(m_env->dialogs.shown.size(), 0);
    QCOMPARE(rowTexts(loadData()), rows);
    QCOMPARE(firstBounds(m_window->files().bounds(), 3), bounds);
    QCOMPARE(m_window->Edit1->text(), fileNumbers);
    QCOMPARE(m_window->Edit2->text(), min);
    QCOMPARE(m_window->Edit3->text(), max);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, celsius ? 200.0 : 392.0);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, axisMax);
    QVERIFY(!SystemVars.tableBusy);

    QList<QVector<double>> expectedSeries(TForm7::SeriesCount);
    for (int row = 0; row < loadData().recordCount(); ++row) {
        const MeasureRecord &r = loadData().rows().at(row);
        expectedSeries[rowFiles.at(row)] << r.meavalue;
        QCOMPARE(m_window->DBGridEh1DrawColumnCell(r), fileColour(rowFiles.at(row)));
        QCOMPARE(m_window->DBGridEh1->rowBackground(row), m_window->Chart1->seriesColour(rowFiles.at(row)));
    }
    QCOMPARE(seriesData(), expectedSeries);
    // From the first accepted file on, the chart takes no mouse input.
    QVERIFY(m_window->Chart1->testAttribute(Qt::WA_TransparentForMouseEvents));
}

void TestDataViewWindow::eleventhFileRefusedWithoutDialog()
{
    startWindow(true);
    for (int i = 0; i < 10; ++i)
        load(writeLog(QStringLiteral("f%1.klg").arg(i), logFile({300.0 + i})));
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("10"));
    QCOMPARE(seriesData().at(9), QVector<double>{309.0});

    const QString eleventh = writeLog(QStringLiteral("f10.klg"), logFile({400.0}));
    load(eleventh);
    QCOMPARE(m_env->dialogs.texts(), QStringList{TooManyFiles});
    QCOMPARE(m_env->dialogs.shown.at(0).caption, QStringLiteral("Error Information"));
    QCOMPARE(m_env->dialogs.shown.at(0).icon, Dialogs::Icon::Error);
    QCOMPARE(m_env->dialogs.shown.at(0).buttons, Dialogs::Buttons(Dialogs::Ok));
    QCOMPARE(m_env->dialogs.fileAnswers, QStringList{eleventh}); // no dialog asked for it
    QCOMPARE(loadData().recordCount(), 10);
    QCOMPARE(SystemVars.loadedFileCount, qint16(10));
}

void TestDataViewWindow::failedLoadLeavesNothingBehind_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
    QTest::addColumn<QString>("message");    // %1: the file's path

    QByteArray badAt50 = logFile(ramp(300, 60));
    const int line50 = badAt50.indexOf("2024-05-01,10:00:49");
    badAt50.replace(line50, 33, "2024-05-01,10:00:49,abc   ,0.95,C");
    QTest::newRow("50th record line not a number")
        << badAt50 << "'abc   ' is not a valid floating point value";
    QByteArray exponentAt50 = logFile(ramp(300, 60));
    exponentAt50.replace(line50, 33, "2024-05-01,10:00:49,1e300 ,0.95,C");
    QTest::newRow("50th record line with an exponent")
        << exponentAt50 << "'1e300 ' is not a valid floating point value";
    QByteArray runsOnAt50 = logFile(ramp(300, 60));
    runsOnAt50.insert(line50 + 32, QByteArray(5000, 'C'));
    QTest::newRow("50th record line running on")
        << runsOnAt50 << "Cannot read file %1: line 52 is longer than 1024 bytes, so it is no log file";
    QTest::newRow("count not an integer")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:x\r\n") << "'x' is not a valid integer value";
    QTest::newRow("file cannot be opened")
        << QByteArray() << "Cannot open file %1: No such file or directory";
}

// A file that fails is not counted: LoadData, the chart, the count, the
// bounds and the next file's colour stay as they were, and the error shows.
void TestDataViewWindow::failedLoadLeavesNothingBehind()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile(ramp(300, 5))));
    load(writeLog(QStringLiteral("b.klg"), logFile(ramp(400, 3))));
    const QStringList rowsBefore = rowTexts(loadData());
    const QList<QVector<double>> seriesBefore = seriesData();
    QCOMPARE(m_window->ProgressBar1->maximum(), 3);
    QCOMPARE(m_window->ProgressBar1->value(), 3);

    const QString bad = content.isEmpty() ? m_env->dir.path(QStringLiteral("missing.klg"))
                                          : writeLog(QStringLiteral("bad.klg"), content);
    load(bad);
    QCOMPARE(m_env->dialogs.texts(),
             QStringList{message.contains(QLatin1String("%1")) ? message.arg(bad) : message});
    QCOMPARE(rowTexts(loadData()), rowsBefore);
    QSqlQuery count(m_link->Database1.connection());
    QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM LoadData")) && count.next());
    QCOMPARE(count.value(0).toInt(), 8);
    QCOMPARE(seriesData(), seriesBefore);
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("2"));
    QCOMPARE(SystemVars.loadedFileCount, qint16(2));
    QCOMPARE(firstBounds(m_window->files().bounds(), 4), (QList<int>{6, 9, 0, 0}));
    QCOMPARE(m_window->Edit3->text(), QStringLiteral("402"));
    QVERIFY(!SystemVars.tableBusy);
    // The bar shows the last file that loaded, not the range of the failed one.
    QCOMPARE(m_window->ProgressBar1->minimum(), 1);
    QCOMPARE(m_window->ProgressBar1->maximum(), 3);
    QCOMPARE(m_window->ProgressBar1->value(), 3);

    // The next file takes the third series and colour.
    load(writeLog(QStringLiteral("c.klg"), logFile({500.0, 501.0})));
    QCOMPARE(seriesData().at(2), (QVector<double>{500.0, 501.0}));
    QCOMPARE(m_window->DBGridEh1DrawColumnCell(loadData().rows().last()), CellColour::Navy);
    QCOMPARE(firstBounds(m_window->files().bounds(), 4), (QList<int>{6, 9, 11, 0}));
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("3"));
}

// Nothing shows a file that failed: no count (not even 0) and no progress.
void TestDataViewWindow::onlyFileFailingLeavesTheWindowAsCreated()
{
    startWindow(true);
    const int minimum = m_window->ProgressBar1->minimum();
    const int maximum = m_window->ProgressBar1->maximum();
    const int value = m_window->ProgressBar1->value();
    QByteArray bad = logFile(ramp(300, 40));
    bad.replace(bad.indexOf("2024-05-01,10:00:20"), 33, "2024-05-01,10:00:20,abc   ,0.95,C");
    load(writeLog(QStringLiteral("bad.klg"), bad));

    QCOMPARE(m_env->dialogs.texts(), QStringList{"'abc   ' is not a valid floating point value"});
    QCOMPARE(m_window->Edit1->text(), QString());
    QCOMPARE(SystemVars.loadedFileCount, qint16(0));
    QCOMPARE(m_window->ProgressBar1->minimum(), minimum);
    QCOMPARE(m_window->ProgressBar1->maximum(), maximum);
    QCOMPARE(m_window->ProgressBar1->value(), value);
    QCOMPARE(loadData().recordCount(), 0);
}

void TestDataViewWindow::cancelledLoadLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Escape key") << "escape";
    QTest::newRow("window closed") << "close";
}

// Cancel, Escape or closing the window while the rows of a file stream into
// LoadData end the load as a failure does, without a message; a closed
// window goes once the rows are taken back.
void TestDataViewWindow::cancelledLoadLeavesNothingBehind()
{
    QFETCH(QString, how);
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile(ramp(300, 5))));
    load(writeLog(QStringLiteral("b.klg"), logFile(ramp(400, 3))));
    const QStringList rowsBefore = rowTexts(loadData());
    const QList<QVector<double>> seriesBefore = seriesData();
    QVERIFY(!m_window->CancelButton->isEnabled());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->DBGridEh1->setFocus();

    QList<double> values;
    for (int i = 0; i < 100000; ++i)
        values << 200.0 + i % 3000 / 10.0;
    const QString path = writeLog(QStringLiteral("long.klg"), logFile(values));
    // Acts once the file's rows have begun to reach the table.
    bool acted = false;
    QTimer midLoad;
    QObject::connect(&midLoad, &QTimer::timeout, [&] {
        if (acted || loadData().recordCount() <= rowsBefore.size())
            return;
        acted = true;
        QVERIFY(m_window->CancelButton->isEnabled());
        if (how == QLatin1String("cancel"))
            QTest::mouseClick(m_window->CancelButton, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(m_window->DBGridEh1, Qt::Key_Escape);
        else
            m_window->close();
    });
    midLoad.start(1);
    load(path);
    midLoad.stop();

    QVERIFY(acted);
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(rowTexts(loadData()), rowsBefore);
    QSqlQuery count(m_link->Database1.connection());
    QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM LoadData")) && count.next());
    QCOMPARE(count.value(0).toInt(), 8);
    QCOMPARE(m_link->Database1.bulkDepth(), 0);
    QVERIFY(!SystemVars.tableBusy);
    QCOMPARE(m_env->dir.readFile(QStringLiteral("AsciiDBF.TXT")), QByteArray());
    if (how == QLatin1String("close")) {
        QTRY_VERIFY(m_window.isNull());
        QVERIFY(SystemVars.analyzeWindow.isNull());
        QVERIFY(!SystemVars.analyzeWindowOpen);
        return;
    }
    QCOMPARE(seriesData(), seriesBefore);
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("2"));
    QCOMPARE(SystemVars.loadedFileCount, qint16(2));
    QCOMPARE(firstBounds(m_window->files().bounds(), 3), (QList<int>{6, 9, 0}));
    QCOMPARE(m_window->ProgressBar1->maximum(), 3);
    QCOMPARE(m_window->ProgressBar1->value(), 3);
    QVERIFY(!m_window->CancelButton->isEnabled());
    // The next file takes the third series and colour.
    load(writeLog(QStringLiteral("c.klg"), logFile({500.0, 501.0})));
    QCOMPARE(seriesData().at(2), (QVector<double>{500.0, 501.0}));
    QCOMPARE(firstBounds(m_window->files().bounds(), 3), (QList<int>{6, 9, 11}));
}

// Every row keeps its series and colour through a change and back; the
// extremes show with one decimal.
void TestDataViewWindow::unitChangeKeepsEveryRowsSeries()
{
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile({300.0, 310.5})));
    load(writeLog(QStringLiteral("b.klg"), logFile({})));
    load(writeLog(QStringLiteral("c.klg"), logFile({36.6, -10.5, 600.0})));
    load(writeLog(QStringLiteral("d.klg"), logFile({250.0})));

    SystemVars.unitCelsius = false;
    sendWindowMessage(SystemVars.analyzeWindow, WM_CHANGEUNIT);
    QCOMPARE(m_env->dialogs.shown.size(), 0);
    QCOMPARE(rowTexts(loadData()),
             (QStringList{"1|572|F", "2|590.9|F", "3|97.9|F", "4|13.1|F", "5|1112|F", "6|482|F"}));
    QList<QVector<double>> expected(TForm7::SeriesCount);
    expected[0] = {572.0, 590.9};
    expected[2] = {97.9, 13.1, 1112.0};
    expected[3] = {482.0};
    QCOMPARE(seriesData(), expected);
    const QList<CellColour> colours = {CellColour::Blue, CellColour::Blue, CellColour::Navy,
                                       CellColour::Navy, CellColour::Navy, CellColour::Red};
    for (int row = 0; row < 6; ++row)
        QCOMPARE(m_window->DBGridEh1DrawColumnCell(loadData().rows().at(row)), colours.at(row));
    QCOMPARE(m_window->Edit2->text(), QStringLiteral("13.1"));
    QCOMPARE(m_window->Edit3->text(), QStringLiteral("1112.0"));
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature        (Unit:  F)"));
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, 392.0);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 1112.0);
    QVERIFY(!m_window->windowCelsius());
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("4"));

    SystemVars.unitCelsius = true;
    sendWindowMessage(SystemVars.analyzeWindow, WM_CHANGEUNIT);
    QCOMPARE(rowTexts(loadData()),
             (QStringList{"1|300|C", "2|310.5|C", "3|36.6|C", "4|-10.5|C", "5|600|C", "6|250|C"}));
    expected[0] = {300.0, 310.5};
    expected[2] = {36.6, -10.5, 600.0};
    expected[3] = {250.0};
    QCOMPARE(seriesData(), expected);
    QCOMPARE(m_window->Edit2->text(), QStringLiteral("-10.5"));
    QCOMPARE(m_window->Edit3->text(), QStringLiteral("600.0"));
    QCOMPARE(m_window->Chart1->verticalAxisTitle(), QStringLiteral("Temperature       (Unit:  C)"));

    // A fifth file follows in the fifth series.
    load(writeLog(QStringLiteral("e.klg"), logFile({260.0})));
    QCOMPARE(seriesData().at(4), QVector<double>{260.0});
    QCOMPARE(loadData().rows().last().recno, 7);
}

// A unit change that fails (another client holds the database) leaves the
// table in the window's unit; later files are loaded in that unit too, not
// in the program's new one, so LoadData never mixes units.
void TestDataViewWindow::lineBreaksAtAGapInTheFile_data()
{
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QList<int>>("segmentSizes");

    const QString day = QStringLiteral("2024-05-01,10:00:");
    QTest::newRow("steady") << QStringList{day + "00", day + "02", day + "04", day + "06"} << QList<int>{4};
    QTest::newRow("more than five steps apart")
        << QStringList{day + "00", day + "02", day + "04", day + "15", day + "17"} << QList<int>{3, 2};
    QTest::newRow("exactly five steps apart")
        << QStringList{day + "00", day + "02", day + "04", day + "14", day + "16"} << QList<int>{5};
    QTest::newRow("over midnight") << QStringList{"2024-05-01,23:59:58", "2024-05-02,00:00:00",
                                                  "2024-05-02,00:00:02", "2024-05-02,00:00:04"}
                                   << QList<int>{4};
    // Times of one-second resolution repeat when readings come faster.
    QTest::newRow("repeated seconds")
        << QStringList{day + "00", day + "00", day + "01", day + "01", day + "02", day + "09", day + "09"}
        << QList<int>{5, 2};
    QTest::newRow("one row") << QStringList{day + "00"} << QList<int>{1};
}

// The rows' date and time decide, against the file's own typical step; the
// segments stay through a change of unit.
void TestDataViewWindow::lineBreaksAtAGapInTheFile()
{
    QFETCH(QStringList, stamps);
    QFETCH(QList<int>, segmentSizes);
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile(ramp(300, 40))));
    load(writeLog(QStringLiteral("b.klg"), logFileAt(stamps)));
    QCOMPARE(m_window->files().appendedFiles(), 2);

    const auto sizes = [this](int series) {
        QList<int> out;
        for (const QList<QPointF> &segment : m_window->Chart1->drawnSegments(series))
            out << int(segment.size());
        return out;
    };
    QCOMPARE(sizes(0), QList<int>{40});
    QCOMPARE(sizes(1), segmentSizes);

    SystemVars.unitCelsius = false;
    guardedHandler([this] { m_window->ChangeUnit_Pro(); });
    QVERIFY(!m_window->windowCelsius());
    QCOMPARE(sizes(1), segmentSizes);
}

void TestDataViewWindow::loadAfterFailedUnitChangeKeepsTheWindowsUnit()
{
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile({300.0})));
    m_link->Database1.setBusyTimeout(50);
    {
        OtherConnection other(m_link->Database1.filePath());
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
        SystemVars.unitCelsius = false;
        sendWindowMessage(SystemVars.analyzeWindow, WM_CHANGEUNIT);
        QCOMPARE(m_env->dialogs.shown.size(), 1);
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    }
    QVERIFY(m_window->windowCelsius());

    load(writeLog(QStringLiteral("b.klg"), logFile({36.6})));
    load(writeLog(QStringLiteral("c.klg"), logFile({97.9}, QStringLiteral("F"))));
    QCOMPARE(rowTexts(loadData()), (QStringList{"1|300|C", "2|36.6|C", "3|36.6|C"}));
    QCOMPARE(storedValue(2, "unit"), QStringLiteral("C"));
    QCOMPARE(seriesData().at(1), QVector<double>{36.6});
    QCOMPARE(m_window->Edit2->text(), QStringLiteral("36.6"));
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).minimum, 200.0);
    QCOMPARE(m_window->Chart1->axisRange(ChartAxis::Left).maximum, 500.0);

    // The next change that succeeds converts every row once.
    sendWindowMessage(SystemVars.analyzeWindow, WM_CHANGEUNIT);
    QCOMPARE(rowTexts(loadData()), (QStringList{"1|572|F", "2|97.9|F", "3|97.9|F"}));
}

void TestDataViewWindow::editedCellReachesTheDatabase_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // the column's text in the database afterwards
    QTest::addColumn<QString>("message");
    const int value = MeasureTableModel::MeaValue;
    QTest::newRow("value") << value << " 333.3"
                           << "333.3"
                           << "";
    QTest::newRow("value not a number") << value << "3x3"
                                        << "302"
                                        << "'3x3' is not a valid floating point value";
    QTest::newRow("value emptied") << value << ""
                                   << "302"
                                   << "'' is not a valid floating point value";
    QTest::newRow("value with a comma") << value << "3,5"
                                        << "302"
                                        << "'3,5' is not a valid floating point value";
    QTest::newRow("record number") << int(MeasureTableModel::RecNo) << "42"
                                   << "42"
                                   << "";
    QTest::newRow("record number not an integer") << int(MeasureTableModel::RecNo) << "4.5"
                                                  << "3"
                                                  << "'4.5' is not a valid integer value";
    QTest::newRow("time") << int(MeasureTableModel::Time) << "11:12:13"
                          << "11:12:13"
                          << "";
}

// The grid is not read-only: an edited cell is posted to LoadData, a text
// its column cannot take is refused with the conversion error, and the chart
// takes up a new value at the next unit change.
void TestDataViewWindow::editedCellReachesTheDatabase()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    startWindow(true);
    load(writeLog(QStringLiteral("a.klg"), logFile(ramp(300, 5))));
    const char *field = column == MeasureTableModel::MeaValue ? "meavalue"
                        : column == MeasureTableModel::RecNo  ? "recno"
                                                              : "time";

    MeasureGrid *grid = m_window->DBGridEh1;
    const QModelIndex cell = grid->tableModel()->index(2, column);
    grid->setCurrentIndex(cell);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    const QPointer<QLineEdit> editor = grid->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), cell.data().toString());
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid commits the edit and closes the editor on its next turns of
    // the event loop.
    QTRY_VERIFY(editor.isNull());

    QCOMPARE(storedValue(3, field), stored);
    QCOMPARE(m_env->dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(grid->tableModel()->index(2, column).data().toString(), stored);
    if (column != MeasureTableModel::MeaValue)
        return;
    // Chart and statistics keep the loaded values until the next unit change.
    QCOMPARE(m_window->Chart1->seriesData(0).at(2), 302.0);
    QCOMPARE(m_window->Edit3->text(), QStringLiteral("304"));
    sendWindowMessage(SystemVars.analyzeWindow, WM_CHANGEUNIT);
    QCOMPARE(m_window->Chart1->seriesData(0).at(2), stored.toDouble());
    QCOMPARE(m_window->Edit3->text(), message.isEmpty() ? QStringLiteral("333.3") : QStringLiteral("304.0"));
}

// A long file moves the progress bar up to its count, and events run while
// its rows are stored: timers fire, and another Open is refused rather than
// asking for a file over the running load.
void TestDataViewWindow::progressShownWhileTheWindowStaysResponsive()
{
    startWindow(true);
    // Long enough to be read over several of the window's turns also on a
    // fast machine.
    const int lines = 600000;
    QList<double> values;
    for (int i = 0; i < lines; ++i)
        values << 200.0 + i % 3000 / 10.0;
    const QString path = writeLog(QStringLiteral("long.klg"), logFile(values));
    const QString other = writeLog(QStringLiteral("other.klg"), logFile({300.0}));
    // The bar's steps are heard as they are set; how many of them a timer
    // would catch depends on the machine's speed.
    QList<int> progressSeen;
    QObject::connect(m_window->ProgressBar1, &QProgressBar::valueChanged,
                     [&](int value) { progressSeen << value; });
    bool rowsSeenWhileBusy = false;
    bool secondOpenTried = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!SystemVars.tableBusy || loadData().recordCount() == 0)
            return;
        rowsSeenWhileBusy = true;
        if (!secondOpenTried) {
            secondOpenTried = true;
            m_env->dialogs.fileAnswers << other;
            guardedHandler([this] { m_window->LoadData(); });
        }
    });
    watch.start(5);
    load(path);
    watch.stop();

    QVERIFY(rowsSeenWhileBusy);
    QCOMPARE(m_env->dialogs.fileAnswers, QStringList{other}); // no dialog asked for it
    QCOMPARE(m_window->Edit1->text(), QStringLiteral("1"));
    QVERIFY(
        std::any_of(progressSeen.cbegin(), progressSeen.cend(), [&](int v) { return v > 1 && v < lines; }));
    QCOMPARE(m_window->ProgressBar1->minimum(), 1);
    QCOMPARE(m_window->ProgressBar1->maximum(), lines);
    QCOMPARE(m_window->ProgressBar1->value(), lines);
    QCOMPARE(loadData().recordCount(), lines);
    QCOMPARE(m_window->Chart1->seriesData(0).size(), lines);
    QCOMPARE(m_window->Edit3->text(), QStringLiteral("499.9"));
    // The chart draws a decimated copy, not every point.
    QVERIFY(m_window->Chart1->drawnPoints(0).size() < lines / 10);
}

void TestDataViewWindow::openedReusedAndClosedThroughMainWindow()
{
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    SystemVars.unitCelsius = true;
    TForm1 main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    // Rows left by an earlier window are gone when Open makes a new one.
    loadData().append(MeasureRecord{1, "2024-01-01", "10:00:00", 0.95, 100.0, "C"});
    const QString a = writeLog(QStringLiteral("a.klg"), logFile(ramp(300, 5)));
    const QString b = writeLog(QStringLiteral("b.klg"), logFile(ramp(400, 3)));

    m_env->dialogs.fileAnswers = {a};
    main.N6->trigger();
    auto *window = qobject_cast<TForm7 *>(SystemVars.analyzeWindow.data());
    QVERIFY(window);
    QPointer<TForm7> guard(window);
    auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    QVERIFY(frame && frame->isMaximized());
    QVERIFY(SystemVars.analyzeWindowOpen);
    QCOMPARE(loadData().recordCount(), 5);
    QCOMPARE(loadData().rows().first().recno, 1);
    main.FormPaint();
    QVERIFY(main.N20->actions().contains(main.menuanalyze));
    QCOMPARE(main.menuanalyze->text(), QStringLiteral("Reprot Analyzing Window"));
    QVERIFY(main.N7->isEnabled() && main.N8->isEnabled());
    QVERIFY(!main.N15->isEnabled());

    // A second Open loads into the same window.
    m_env->dialogs.fileAnswers = {b};
    main.N6Click();
    QCOMPARE(SystemVars.analyzeWindow.data(), window);
    QCOMPARE(main.ClientArea->subWindowList().size(), 1);
    QCOMPARE(loadData().recordCount(), 8);
    QCOMPARE(window->Edit1->text(), QStringLiteral("2"));

    // Closing asks nothing and leaves the rows until the next Open.
    frame->close();
    QTRY_VERIFY(guard.isNull());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QVERIFY(!SystemVars.analyzeWindowOpen);
    QVERIFY(SystemVars.analyzeWindow.isNull());
    QCOMPARE(loadData().recordCount(), 8);
    QTRY_VERIFY_WITH_TIMEOUT(!main.N20->actions().contains(main.menuanalyze), 2 * TForm1::RefreshIntervalMs);

    // The next Open starts afresh, even when its dialog is cancelled.
    main.N6Click();
    window = qobject_cast<TForm7 *>(SystemVars.analyzeWindow.data());
    QVERIFY(window);
    QCOMPARE(loadData().recordCount(), 0);
    QCOMPARE(SystemVars.loadedFileCount, qint16(0));
    m_env->dialogs.fileAnswers = {b};
    main.N6Click();
    QCOMPARE(rowTexts(loadData()), (QStringList{"1|400|C", "2|401|C", "3|402|C"}));
    QCOMPARE(window->DBGridEh1DrawColumnCell(loadData().rows().first()), CellColour::Blue);
    QVERIFY(m_env->dialogs.shown.isEmpty());
    delete window;
    qunsetenv("ODBCINI");
}

QTEST_MAIN(TestDataViewWindow)
#include "tst_dataviewwindow.moc"
