// kelvora-cli as a user runs it: the real binary against the simulator on a
// pseudo-terminal. Its files are compared with those the windows write for
// the same records: the import window's log file and spreadsheet, the data
// view's spreadsheet of a converted log file.
#include "analysis/klgload.h"
#include "biff5records.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "output/exportcommand.h"
#include "output/logic/worksheetwriter.h"
#include "recordmoments.h"
#include "store/decimalformat.h"
#include "store/measuretablemodel.h"
#include "zipmember.h"

#include <QPushButton>
#include <QtTest>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray fileContent(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The record lines of a log file without their date and time columns, which
// hold the moment each row was made: each line must begin with a date and a
// time of span, in order, or fault says what is wrong.
QList<QByteArray> logWithoutMoments(const QByteArray &log, const ClockSpan &span, QString *fault)
{
    QList<QByteArray> lines = log.split('\n');
    QDateTime previous;
    for (int i = 2; i < lines.size() && fault->isEmpty(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(',');
        if (fields.size() != 5) {
            *fault = QStringLiteral("line %1: %2").arg(i + 1).arg(QString::fromLatin1(lines[i]));
            break;
        }
        *fault = momentFault(QString::fromLatin1(fields[0]), QString::fromLatin1(fields[1]), span, previous,
                             &previous);
        lines[i] = lines[i].mid(fields[0].size() + fields[1].size() + 2);
    }
    return lines;
}

// The sheet's records with the text of the Date and Time cells blanked out:
// each row's Date cell must hold a date and its Time cell a time, together
// a moment of span, in order, or fault says what is wrong.
QByteArray sheetWithoutMoments(const QByteArray &sheet, const ClockSpan &span, QString *fault)
{
    const QList<Biff5Record> records = biff5Records(sheet);
    if (records.isEmpty()) {
        *fault = QStringLiteral("not a sheet");
        return {};
    }
    QMap<int, QString> dates;
    QMap<int, QString> times;
    QByteArray out;
    for (Biff5Record r : records) {
        const bool dataCell = r.type == 0x0204 && r.row() >= 2;
        if (dataCell && (r.column() == MeasureTableModel::Date || r.column() == MeasureTableModel::Time)) {
            (r.column() == MeasureTableModel::Date ? dates : times)[r.row()] =
                QString::fromLatin1(r.labelText());
            r.data.replace(8, r.data.size() - 8, QByteArray(r.data.size() - 8, 'x'));
        }
        out += words({r.type, int(r.data.size())}) + r.data;
    }
    if (dates.keys() != times.keys() || dates.isEmpty())
        *fault =
            QStringLiteral("Date cells in %1 rows, Time cells in %2").arg(dates.size()).arg(times.size());
    QDateTime previous;
    for (auto row = dates.cbegin(); row != dates.cend() && fault->isEmpty(); ++row) {
        *fault = momentFault(row.value(), times.value(row.key()), span, previous, &previous);
        if (!fault->isEmpty())
            *fault = QStringLiteral("sheet row %1: %2").arg(row.key()).arg(*fault);
    }
    return out;
}

// Rows of the conversion fixture: one Fahrenheit line among Celsius ones, a
// new day on the last.
const QByteArray MixedLog = "@Quellmarkon KLG File\r\nTotal:4\r\n"
                            "2026-03-01,08:00:00,25.3  ,0.95,C\r\n"
                            "2026-03-01,08:00:01,-12   ,0.9 ,C\r\n"
                            "2026-03-01,08:00:02,99.5  ,1   ,F\r\n"
                            "2026-03-02,23:59:59,1000  ,0.1 ,C\r\n";

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void helpOfEachCommand_data();
    void helpOfEachCommand();
    void usageErrors_data();
    void usageErrors();
    void info();
    void noThermometer_data();
    void noThermometer();
    void downloadWritesTheImportWindowsFiles_data();
    void downloadWritesTheImportWindowsFiles();
    void downloadCutByALostPort();
    void convertInBothUnits_data();
    void convertInBothUnits();
    void longLogIsCutInASheetAndSaysSo();
    void badLogFileLeavesNoOutput_data();
    void badLogFileLeavesNoOutput();

private:
    CliRun run(const QStringList &arguments, int limitMs = 60000);
    QString path(const QString &name) const { return m_env->dir.path(name); }
    QString thermometer() const { return path(QStringLiteral("thermometer")); }
    void startSimulator(const QStringList &extra);

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<Simulator> m_sim;
};

void TestCli::init()
{
    m_env = std::make_unique<ProgramEnv>();
}

void TestCli::cleanup()
{
    m_sim.reset();
    m_env.reset();
}

CliRun TestCli::run(const QStringList &arguments, int limitMs)
{
    QProcess process;
    process.setWorkingDirectory(m_env->dir.path(QStringLiteral(".")));
    process.start(QStringLiteral(KELVORA_CLI_PATH), arguments);
    CliRun result;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("did not end within %1 ms").arg(limitMs);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestCli::startSimulator(const QStringList &extra)
{
    m_sim = std::make_unique<Simulator>(thermometer(), path(QStringLiteral("sim.log")), extra);
    QVERIFY(m_sim->running());
}

void TestCli::helpOfEachCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("usage");
    QTest::newRow("program") << QStringList{"--help"} << "Usage: kelvora-cli COMMAND";
    QTest::newRow("info") << QStringList{"info", "--help"} << "Usage: kelvora-cli info [options]";
    QTest::newRow("download") << QStringList{"download", "--help"} << "Usage: kelvora-cli download [options]";
    QTest::newRow("convert") << QStringList{"convert", "-h"} << "Usage: kelvora-cli convert [options] IN.klg";
}

void TestCli::helpOfEachCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, usage);

    const CliRun r = run(arguments);

    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.startsWith(usage), qPrintable(r.out));
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("no command") << QStringList{} << "kelvora-cli: no command given";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command 'frobnicate'";
    QTest::newRow("unknown option") << QStringList{"info", "--bogus"} << "kelvora-cli info: Unknown option";
    QTest::newRow("no port") << QStringList{"info"} << "no serial port given";
    QTest::newRow("no output") << QStringList{"convert", "in.klg"} << "no output file given";
    QTest::newRow("no input") << QStringList{"convert", "-o", "out.csv"} << "missing argument";
    QTest::newRow("unknown extension")
        << QStringList{"download", "--port", "p", "-o", "out.txt"} << "must end in .klg, .csv, .xls or .xlsx";
    QTest::newRow("unknown unit") << QStringList{"convert", "in.klg", "-o", "out.csv", "--unit", "K"}
                                  << "the unit must be C or F, not 'K'";
}

// Wrong arguments end with status 2 and the reason on stderr, before any
// file or port is touched: with a readable in.klg at hand, a conversion that
// went ahead would leave its output in the folder.
void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    m_env->dir.writeFile(QStringLiteral("in.klg"), MixedLog);
    const auto entries = [this] {
        return QDir(path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();

    const CliRun r = run(arguments);

    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(entries(), before);
}

// The settings reply, a line each, as the thermometer page shows them (the
// emissivity byte 195 is 0.95, mode 5 "HAL"). The user's database and
// settings file in the working directory are left alone.
void TestCli::info()
{
    startSimulator({"--model", "3", "--mode", "5", "--hal", "1234", "--lal", "-200", "--ems", "195"});

    const CliRun r = run({"info", "--port", thermometer()});

    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("Model: 3\nWork mode: HAL\nHigh alarm: 123.4\nLow alarm: -20\n"
                                   "Emissivity: 0.95\n"));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("Kelvora.mdb"))));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("KELVORA.INI"))));
}

void TestCli::noThermometer_data()
{
    QTest::addColumn<bool>("silentSimulator");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("error");
    QTest::newRow("info, no port") << false << QStringList{"info"} << "cannot be opened";
    QTest::newRow("download, no port")
        << false << QStringList{"download", "-o", "out.klg"} << "cannot be opened";
    QTest::newRow("info, silent") << true << QStringList{"info"} << "No thermometer answers on port";
    QTest::newRow("download, silent")
        << true << QStringList{"download", "-o", "out.klg"} << "No thermometer answers on port";
}

// A port that is not there or a thermometer that does not answer: a message
// naming the port, status 1, no file, and no hang.
void TestCli::noThermometer()
{
    QFETCH(bool, silentSimulator);
    QFETCH(QStringList, command);
    QFETCH(QString, error);
    if (silentSimulator)
        startSimulator({"--silent"});

    const CliRun r = run(command + QStringList{"--port", thermometer()}, 20000);

    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(error) && r.err.contains(thermometer()), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("out.klg"))));
}

void TestCli::downloadWritesTheImportWindowsFiles_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::newRow("C") << true;
    QTest::newRow("F") << false;
}

// 500 records, negative and fractional values, emissivities in and out of
// range: the .klg and .xls are the import window's files for the same
// records but for the moments the rows were made, and the .csv holds the
// window's rows.
void TestCli::downloadWritesTheImportWindowsFiles()
{
    QFETCH(bool, celsius);
    startSimulator({"--records", "500", "--profile", "sine:250:400:37", "--record-ems", "95,195,5,80"});

    // The import window downloads and saves, then lets the port go. Each
    // download's rows carry moments of its own span of the clock.
    QMap<QString, ClockSpan> spans;
    QVector<MeasureRecord> windowRows;
    {
        m_env->dir.writeSettings(thermometer());
        TForm6 link;
        link.FormCreate();
        SystemVars.unitCelsius = celsius;
        auto *window = new TForm4;
        SystemVars.importWindow = window;
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
        spans[QStringLiteral("window")] = ClockSpan::startingNow();
        window->BitBtn1->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->BitBtn5->isEnabled() && !window->importing(), 30000);
        spans[QStringLiteral("window")].end();
        windowRows = link.Table2.rows();
        m_env->dialogs.fileAnswers << path(QStringLiteral("window.klg"))
                                   << path(QStringLiteral("window.xls"));
        window->BitBtn5->click();
        exportToSpreadsheet(window);
        delete window;
    }
    QCOMPARE(windowRows.size(), 500);

    const QString unit = celsius ? QStringLiteral("C") : QStringLiteral("F");
    for (const QString name : {"cli.klg", "cli.xls", "cli.csv"}) {
        spans[name] = ClockSpan::startingNow();
        const CliRun r = run({"download", "--port", thermometer(), "-o", path(name), "--unit", unit});
        spans[name].end();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Waiting for the thermometer's records... 1 s")),
                 qPrintable(r.err));
    }

    const QByteArray windowLog = fileContent(path(QStringLiteral("window.klg")));
    QVERIFY(windowLog.startsWith("@Quellmarkon KLG File\r\nTotal:500\r\n"));
    QString cliFault;
    QString windowFault;
    const QList<QByteArray> cliLog =
        logWithoutMoments(fileContent(path(QStringLiteral("cli.klg"))), spans.value("cli.klg"), &cliFault);
    const QList<QByteArray> windowLogRest = logWithoutMoments(windowLog, spans.value("window"), &windowFault);
    QVERIFY2(cliFault.isEmpty(), qPrintable(cliFault));
    QVERIFY2(windowFault.isEmpty(), qPrintable(windowFault));
    QCOMPARE(cliLog, windowLogRest);
    const QByteArray windowSheet = fileContent(path(QStringLiteral("window.xls")));
    QVERIFY(windowSheet.size() > 500 * 6 * 10);
    const QByteArray cliSheetRest =
        sheetWithoutMoments(fileContent(path(QStringLiteral("cli.xls"))), spans.value("cli.xls"), &cliFault);
    const QByteArray windowSheetRest = sheetWithoutMoments(windowSheet, spans.value("window"), &windowFault);
    QVERIFY2(cliFault.isEmpty(), qPrintable(cliFault));
    QVERIFY2(windowFault.isEmpty(), qPrintable(windowFault));
    QCOMPARE(cliSheetRest, windowSheetRest);

    const QList<QByteArray> csv = fileContent(path(QStringLiteral("cli.csv"))).split('\n');
    QCOMPARE(csv.size(), 502); // header, 500 rows, the empty rest after the last line end
    QCOMPARE(csv.first(), QByteArray("recno,date,time,value,ems,unit"));
    QDateTime previous;
    for (int i = 0; i < 500; ++i) {
        const MeasureRecord &row = windowRows.at(i);
        const QList<QByteArray> fields = csv.at(i + 1).split(',');
        QCOMPARE(fields.size(), 6);
        QCOMPARE(fields[0], QByteArray::number(i + 1));
        const QString moment = momentFault(QString::fromLatin1(fields[1]), QString::fromLatin1(fields[2]),
                                           spans.value("cli.csv"), previous, &previous);
        QVERIFY2(moment.isEmpty(), qPrintable(moment));
        QCOMPARE(fields[3], formatShortest(row.meavalue).toLatin1());
        QCOMPARE(fields[4], formatShortest(row.ems).toLatin1());
        QCOMPARE(fields[5], row.unit.toLatin1());
    }
}

// The thermometer goes away after 7 whole records of 500: exactly those
// are written, with the values, emissivities and moments sent, and the
// command says that the connection broke and fails.
void TestCli::downloadCutByALostPort()
{
    startSimulator({"--records", "500", "--profile", "list:253,-120,999,5,371", "--record-ems", "95,80",
                    "--drop-after-records", "7"});
    ClockSpan span = ClockSpan::startingNow();
    const CliRun r = run({"download", "--port", thermometer(), "-o", path(QStringLiteral("cut.klg"))});
    span.end();

    QCOMPARE(r.exitCode, 1);
    const QString expected =
        QStringLiteral("The connection to the thermometer broke after 7 records. They were "
                       "written to %1; the thermometer may hold more.")
            .arg(path(QStringLiteral("cut.klg")));
    QVERIFY2(r.err.contains(expected), qPrintable(r.err));
    const QByteArray log = fileContent(path(QStringLiteral("cut.klg")));
    QVERIFY(log.startsWith("@Quellmarkon KLG File\r\nTotal:7\r\n"));
    QString fault;
    const QList<QByteArray> lines = logWithoutMoments(log, span, &fault);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(lines.mid(2),
             (QList<QByteArray>{"25.3  ,0.95,C\r", "-12   ,0.8 ,C\r", "99.9  ,0.95,C\r", "0.5   ,0.8 ,C\r",
                                "37.1  ,0.95,C\r", "25.3  ,0.8 ,C\r", "-12   ,0.95,C\r", ""}));
}

void TestCli::convertInBothUnits_data()
{
    QTest::addColumn<QString>("unit"); // empty: no --unit
    QTest::addColumn<QByteArray>("csv");
    const QByteArray celsius = "recno,date,time,value,ems,unit\n"
                               "1,2026-03-01,08:00:00,25.3,0.95,C\n"
                               "2,2026-03-01,08:00:01,-12,0.9,C\n"
                               "3,2026-03-01,08:00:02,37.5,1,C\n"
                               "4,2026-03-02,23:59:59,1000,0.1,C\n";
    QTest::newRow("C") << "C" << celsius;
    QTest::newRow("F") << "F"
                       << QByteArray("recno,date,time,value,ems,unit\n"
                                     "1,2026-03-01,08:00:00,77.5,0.95,F\n"
                                     "2,2026-03-01,08:00:01,10.4,0.9,F\n"
                                     "3,2026-03-01,08:00:02,99.5,1,F\n"
                                     "4,2026-03-02,23:59:59,1832,0.1,F\n");
    QTest::newRow("unit of the first record") << "" << celsius;
}

// The reader's conversion of each line into the unit; the .xls and .csv are
// the data view's exports of the same file loaded in that unit, byte for
// byte, and so is the workbook's sheet (the workbook itself holds the time
// it was made).
void TestCli::convertInBothUnits()
{
    QFETCH(QString, unit);
    QFETCH(QByteArray, csv);
    m_env->dir.writeFile(QStringLiteral("mixed.klg"), MixedLog);
    const QStringList unitOption = unit.isEmpty() ? QStringList{} : QStringList{"--unit", unit};

    for (const QString name : {"out.csv", "out.xls", "out.xlsx"}) {
        const CliRun r =
            run(QStringList{"convert", path(QStringLiteral("mixed.klg")), "-o", path(name)} + unitOption);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    }
    QCOMPARE(fileContent(path(QStringLiteral("out.csv"))), csv);

    {
        m_env->dir.writeSettings(QString());
        TForm6 link;
        link.FormCreate();
        SystemVars.unitCelsius = unit != QLatin1String("F");
        auto *window = new TForm7;
        m_env->dialogs.fileAnswers << path(QStringLiteral("mixed.klg"));
        guardedHandler([window] { window->LoadData(); });
        QCOMPARE(link.Table3.recordCount(), 4);
        for (const QString name : {"window.xls", "window.csv", "window.xlsx"}) {
            m_env->dialogs.fileAnswers << path(name);
            exportToSpreadsheet(window);
        }
        delete window;
    }
    const QByteArray windowSheet = fileContent(path(QStringLiteral("window.xls")));
    QVERIFY(!biff5Records(windowSheet).isEmpty());
    QCOMPARE(fileContent(path(QStringLiteral("out.xls"))), windowSheet);
    QCOMPARE(fileContent(path(QStringLiteral("window.csv"))), csv);
    const QByteArray workbookSheet =
        zipMember(path(QStringLiteral("window.xlsx")), "xl/worksheets/sheet1.xml");
    QVERIFY(workbookSheet.contains("<c r=\"F5\""));
    QCOMPARE(zipMember(path(QStringLiteral("out.xlsx")), "xl/worksheets/sheet1.xml"), workbookSheet);
}

// A log file longer than a sheet: the sheet holds what fits, and the
// command tells what is missing and fails.
void TestCli::longLogIsCutInASheetAndSaysSo()
{
    const int rows = WorksheetWriter::MaxDataRows + 1;
    QByteArray log = "@Quellmarkon KLG File\r\nTotal:" + QByteArray::number(rows) + "\r\n";
    for (int i = 0; i < rows; ++i)
        log += "2026-03-01,08:00:00,25.3  ,0.95,C\r\n";
    m_env->dir.writeFile(QStringLiteral("long.klg"), log);

    const CliRun r =
        run({"convert", path(QStringLiteral("long.klg")), "-o", path(QStringLiteral("long.xls"))});

    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("%1 of %2 rows written").arg(rows - 1).arg(rows)),
             qPrintable(r.err));
    int cells = 0;
    for (const Biff5Record &record : biff5Records(fileContent(path(QStringLiteral("long.xls")))))
        cells +=
            record.type == 0x0204 && record.row() >= 2 && record.column() == MeasureTableModel::Date ? 1 : 0;
    QCOMPARE(cells, rows - 1);
}

void TestCli::badLogFileLeavesNoOutput_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no input file
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("oldOutput"); // empty: none
    QTest::addColumn<QString>("error");
    const QByteArray badValue = "@Quellmarkon KLG File\r\nTotal:2\r\n"
                                "2026-03-01,08:00:00,25.3  ,0.95,C\r\n"
                                "2026-03-01,08:00:01,2x.3  ,0.95,C\r\n";
    QTest::newRow("bad value, csv") << badValue << "out.csv" << QByteArray()
                                    << "'2x.3  ' is not a valid floating point value";
    QTest::newRow("bad value, old xls kept")
        << badValue << "out.xls" << QByteArray("old sheet") << "'2x.3  ' is not a valid floating point value";
    QTest::newRow("bad count, klg") << QByteArray("@Quellmarkon KLG File\r\nTotal:abc\r\n") << "out.klg"
                                    << QByteArray() << "'abc' is not a valid integer value";
    QTest::newRow("no log file") << QByteArray("name,value\r\n") << "out.csv" << QByteArray()
                                 << "is no log file";
    QTest::newRow("missing file") << QByteArray() << "out.csv" << QByteArray() << "Cannot open file";
}

// The reader's error text, status 1, and no output file, not even a part of
// one; a file that was there already stays as it was.
void TestCli::badLogFileLeavesNoOutput()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, output);
    QFETCH(QByteArray, oldOutput);
    QFETCH(QString, error);
    if (!content.isEmpty())
        m_env->dir.writeFile(QStringLiteral("in.klg"), content);
    if (!oldOutput.isEmpty())
        m_env->dir.writeFile(output, oldOutput);

    const CliRun r = run({"convert", path(QStringLiteral("in.klg")), "-o", path(output)});

    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("kelvora-cli: ")) && r.err.contains(error), qPrintable(r.err));
    if (oldOutput.isEmpty())
        QVERIFY(!QFileInfo::exists(path(output)));
    else
        QCOMPARE(fileContent(path(output)), oldOutput);
    // Nothing beside it either (the temporary file of a replaced write).
    QCOMPARE(QDir(path(QStringLiteral("."))).entryList({output + QLatin1Char('*')}, QDir::Files).size(),
             oldOutput.isEmpty() ? 0 : 1);
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
