// Loading a log file into LoadData through the staging file: rows in the
// current unit, record numbers running on across files, round trips with
// the saves, and the failures, which leave LoadData, the files and the
// caller's busy flag as they were.
#include "enginefailure.h"
#include "logfiletestsupport.h"

#include "store/logfilereader.h"
#include "store/logfilesave.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Head = QStringLiteral("2006-5-12 ,10:20:30,");

QByteArray logFile(const QStringList &records, int total = -1)
{
    return crlfLines(QStringList{QStringLiteral("@Quellmarkon KLG File"),
                                 QStringLiteral("Total:%1").arg(total < 0 ? records.size() : total)} +
                     records);
}

} // namespace

class TestLogFileReader : public QObject {
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<LogFileEnv>(); }
    void cleanup() { m_env.reset(); }

    void loadsRows_data();
    void loadsRows();
    void roundTrips_data();
    void roundTrips();
    void numberingRunsOnAcrossFiles();
    void failuresLeaveLoadDataAsItWas_data();
    void failuresLeaveLoadDataAsItWas();
    void databaseFailureRollsBack_data();
    void databaseFailureRollsBack();
    void progressWhileBusy();
    void stoppedLoadLeavesOnlyOtherWrites_data();
    void stoppedLoadLeavesOnlyOtherWrites();

private:
    LogLoadResult load(const QString &name, bool unitCelsius, qint64 firstRecno = 1,
                       const LogLoadProgress &progress = {})
    {
        return loadLogFile(m_env->path(name), m_env->db, m_env->loadData, firstRecno, unitCelsius, progress,
                           &m_busy);
    }

    std::unique_ptr<LogFileEnv> m_env;
    bool m_busy = false; // lent to every load
};

void TestLogFileReader::loadsRows_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("unitCelsius");
    QTest::addColumn<int>("firstRecno");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("staging");

    QTest::newRow("example in Fahrenheit as the 7th row")
        << logFile({Head + "25.3  ,0.95,C"}) << false << 7 << QStringList{"7|2006-5-12|10:20:30|77.5|0.95|F"}
        << QByteArray("2006-5-12 ,10:20:30,77.5  ,0.95,F,7\r\n");
    QTest::newRow("lower-case c is Fahrenheit")
        << logFile({Head + "77.5  ,0.95,c"}) << true << 1 << QStringList{"1|2006-5-12|10:20:30|25.3|0.95|C"}
        << QByteArray("2006-5-12 ,10:20:30,25.3  ,0.95,C,1\r\n");
    QTest::newRow("whole number reads back as 25.0")
        << logFile({Head + "25    ,1   ,C"}) << true << 1 << QStringList{"1|2006-5-12|10:20:30|25|1|C"}
        << QByteArray("2006-5-12 ,10:20:30,25    ,1   ,C,1\r\n");
    QTest::newRow("count is not relied on")
        << logFile({Head + "20.1  ,0.95,C", Head + "20.2  ,0.95,C"}, 5) << true << 1
        << QStringList{"1|2006-5-12|10:20:30|20.1|0.95|C", "2|2006-5-12|10:20:30|20.2|0.95|C"}
        << QByteArray("2006-5-12 ,10:20:30,20.1  ,0.95,C,1\r\n2006-5-12 ,10:20:30,20.2  ,0.95,C,2\r\n");
    QTest::newRow("LF line ends, none after the last line")
        << QByteArray("@Quellmarkon KLG File\nTotal:2\n2006-5-12 ,10:20:30,20.1  ,0.95,C\n"
                      "2006-5-12 ,10:20:31,20.2  ,0.95,C")
        << true << 1 << QStringList{"1|2006-5-12|10:20:30|20.1|0.95|C", "2|2006-5-12|10:20:31|20.2|0.95|C"}
        << QByteArray("2006-5-12 ,10:20:30,20.1  ,0.95,C,1\r\n2006-5-12 ,10:20:31,20.2  ,0.95,C,2\r\n");
    // A date in an 8-bit code page, and the same date in UTF-8.
    QTest::newRow("Latin-1 and UTF-8 dates")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:2\r\n12. M\xe4r 06,10:20:30,20.1  ,0.95,C\r\n"
                      "12. M\xc3\xa4r 06,10:20:30,20.2  ,0.95,C\r\n")
        << true << 1
        << QStringList{QString::fromUtf8("1|12. M\xc3\xa4r 06|10:20:30|20.1|0.95|C"),
                       QString::fromUtf8("2|12. M\xc3\xa4r 06|10:20:30|20.2|0.95|C")}
        << QByteArray("12. M\xc3\xa4r 06,10:20:30,20.1  ,0.95,C,1\r\n12. M\xc3\xa4r 06,10:20:30,20.2  "
                      ",0.95,C,2\r\n");
    QTest::newRow("empty body") << logFile({}) << true << 1 << QStringList{} << QByteArray();

    // Lines cross the boundaries of the blocks the file is read in, and the
    // staging file is written in several pieces.
    QStringList lines;
    QStringList rows;
    QByteArray staging;
    for (int i = 0; i < 12000; ++i) {
        const QString time = QStringLiteral("10:%1:%2")
                                 .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'));
        const QString date = i < 6000 ? QStringLiteral("2006-5-12") : QStringLiteral("2006-5-13");
        const QString value = QString::number(20 + i % 100 / 10.0);
        lines << QStringLiteral("%1,%2,%3,0.95,C").arg(date, -10).arg(time).arg(value, -6);
        rows << QStringLiteral("%1|%2|%3|%4|0.95|C").arg(i + 1).arg(date, time, value);
        staging += QStringLiteral("%1,%2,%3,0.95,C,%4\r\n")
                       .arg(date, -10)
                       .arg(time)
                       .arg(value, -6)
                       .arg(i + 1)
                       .toUtf8();
    }
    QTest::newRow("longer than a read block") << logFile(lines) << true << 1 << rows << staging;
}

void TestLogFileReader::loadsRows()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, unitCelsius);
    QFETCH(int, firstRecno);
    QFETCH(QStringList, rows);
    QFETCH(QByteArray, staging);

    m_env->env.dir.writeFile(QStringLiteral("in.klg"), content);
    const LogLoadResult result = load(QStringLiteral("in.klg"), unitCelsius, firstRecno);
    QVERIFY(result.accepted);
    QCOMPARE(rowTexts(m_env->loadData), rows);
    QCOMPARE(m_env->staging(), staging);
    QList<double> values;
    for (const MeasureRecord &r : m_env->loadData.rows())
        values << r.meavalue;
    QCOMPARE(result.values, values);
    // The rows are in the database as they are in the cache.
    m_env->loadData.refresh();
    QCOMPARE(rowTexts(m_env->loadData), rows);
}

void TestLogFileReader::roundTrips_data()
{
    QTest::addColumn<bool>("measureWindow");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("storedUnit");
    QTest::addColumn<QString>("valueText"); // in the file
    QTest::addColumn<bool>("unitCelsius");  // when loading
    QTest::addColumn<double>("loaded");

    QTest::newRow("Celsius file loaded in Fahrenheit") << true << 25.3 << "C"
                                                       << "25.3  " << false << 77.5;
    QTest::newRow("Fahrenheit file loaded in Celsius") << true << 77.5 << "F"
                                                       << "77.5  " << true << 25.3;
    QTest::newRow("same unit") << true << 36.6 << "C"
                               << "36.6  " << true << 36.6;
    QTest::newRow("one decimal kept by the measurement window") << true << 25.0 << "C"
                                                                << "25.0  " << false << 77.0;
    QTest::newRow("import 25 reads back as 25.0") << false << 25.0 << "C"
                                                  << "25    " << true << 25.0;
    QTest::newRow("import negative to Fahrenheit") << false << -10.5 << "C"
                                                   << "-10.5 " << false << 13.1;
}

void TestLogFileReader::roundTrips()
{
    QFETCH(bool, measureWindow);
    QFETCH(double, stored);
    QFETCH(QString, storedUnit);
    QFETCH(QString, valueText);
    QFETCH(bool, unitCelsius);
    QFETCH(double, loaded);

    MeasureTable &table = measureWindow ? m_env->meaData : m_env->getRecorde;
    table.append(
        logRecord(1, QStringLiteral("2024-05-01"), QStringLiteral("10:20:30"), stored, 0.95, storedUnit));
    table.refresh();
    m_env->env.dialogs.fileAnswers << QStringLiteral("run");
    const LogSaveResult saved = measureWindow ? saveMeasureLog(table, QString()) : saveImportLog(table);
    QCOMPARE(saved.outcome, LogSaveOutcome::Written);
    const QByteArray file = m_env->env.dir.readFile(QStringLiteral("run.klg"));
    QVERIFY2(file.contains(("," + valueText + ",0.95," + storedUnit + "\r\n").toUtf8()), file.constData());

    const LogLoadResult result = load(QStringLiteral("run.klg"), unitCelsius);
    QCOMPARE(result.values, QVector<double>{loaded});
    m_env->loadData.refresh();
    const QString unit = unitCelsius ? QStringLiteral("C") : QStringLiteral("F");
    QCOMPARE(rowTexts(m_env->loadData),
             QStringList{QStringLiteral("1|2024-05-01|10:20:30|%1|0.95|%2").arg(loaded).arg(unit)});
    QCOMPARE(m_env->env.dir.readFile(QStringLiteral("run.klg")), file);
}

// Each load numbers its rows on from where the caller says (the row count of
// LoadData), and the staging file holds only the last file's lines.
void TestLogFileReader::numberingRunsOnAcrossFiles()
{
    QStringList first;
    for (int i = 1; i <= 5; ++i)
        first << Head + QStringLiteral("2%1.0  ,0.95,C").arg(i);
    m_env->env.dir.writeFile(QStringLiteral("a.klg"), logFile(first));
    m_env->env.dir.writeFile(QStringLiteral("b.klg"), logFile({Head + "30.1  ,0.95,F", Head + "30.2  ,0.95,F",
                                                               Head + "30.3  ,0.95,F"}));

    QCOMPARE(load(QStringLiteral("a.klg"), false).rowsAppended(), 5);
    const LogLoadResult second = load(QStringLiteral("b.klg"), false, m_env->loadData.recordCount() + 1);
    QCOMPARE(second.values, (QVector<double>{30.1, 30.2, 30.3}));

    QList<qint64> recnos;
    for (const MeasureRecord &r : m_env->loadData.rows())
        recnos << r.recno;
    QCOMPARE(recnos, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(m_env->staging(), QByteArray("2006-5-12 ,10:20:30,30.1  ,0.95,F,6\r\n"
                                          "2006-5-12 ,10:20:30,30.2  ,0.95,F,7\r\n"
                                          "2006-5-12 ,10:20:30,30.3  ,0.95,F,8\r\n"));
}

void TestLogFileReader::failuresLeaveLoadDataAsItWas_data()
{
    QTest::addColumn<QByteArray>("content"); // of the file; a null array: no file at all
    QTest::addColumn<QString>("error");      // empty: the load ends silently

    const QByteArray good = (Head + "25.3  ,0.95,C\r\n").toUtf8();
    QTest::newRow("PNG picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "";
    QTest::newRow("empty file") << QByteArray("") << "";
    QTest::newRow("header with a trailing blank")
        << QByteArray("@Quellmarkon KLG File \r\nTotal:1\r\n") + good << "";
    QTest::newRow("header in lower case") << QByteArray("@quellmarkon klg file\r\nTotal:1\r\n") + good << "";
    QTest::newRow("count not an integer") << QByteArray("@Quellmarkon KLG File\r\nTotal:many\r\n") + good
                                          << "'many' is not a valid integer value";
    QTest::newRow("header only") << QByteArray("@Quellmarkon KLG File\r\n")
                                 << "'' is not a valid integer value";
    QTest::newRow("shifted columns after good rows")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:3\r\n") + good + good +
               "2006-05-12X,10:20:30,25.3  ,0.95,C\r\n"
        << "',25.3 ' is not a valid floating point value";
    QTest::newRow("value longer than its columns after good rows")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:3\r\n") + good + good +
               "2006-5-12 ,10:20:30,18031.8,0.95,F\r\n"
        << "'18031.' is not a valid floating point value";
    // The staging lines of so many rows reach the disk before the failure.
    QByteArray many = "@Quellmarkon KLG File\r\nTotal:12001\r\n";
    for (int i = 0; i < 12000; ++i)
        many += good;
    QTest::newRow("not a number after many good rows") << many + "2006-5-12 ,10:20:30,abc   ,0.95,C\r\n"
                                                       << "'abc   ' is not a valid floating point value";
    QTest::newRow("empty line after the last line") << logFile({Head + "25.3  ,0.95,C"}) + "\r\n"
                                                    << "'' is not a valid floating point value";
    QTest::newRow("file not found") << QByteArray() << "Cannot open file %1: No such file or directory";
    // Read whole, such files once filled the memory before being ignored.
    QTest::newRow("no line end at all")
        << QByteArray(3 << 20, 'C')
        << "Cannot read file %1: line 1 is longer than 1024 bytes, so it is no log file";
    QTest::newRow("record line running on")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:2\r\n") + good + (Head + "25.3  ,0.95,").toUtf8() +
               QByteArray(2000, 'C') + "\r\n"
        << "Cannot read file %1: line 4 is longer than 1024 bytes, so it is no log file";
    QTest::newRow("exponent after good rows")
        << QByteArray("@Quellmarkon KLG File\r\nTotal:2\r\n") + good + "2006-5-12 ,10:20:30,1e300 ,0.95,C\r\n"
        << "'1e300 ' is not a valid floating point value";
}

void TestLogFileReader::failuresLeaveLoadDataAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);

    // An earlier file's rows stay; its staging lines go with the next load.
    m_env->env.dir.writeFile(QStringLiteral("earlier.klg"), logFile({Head + "20.0  ,0.95,C"}));
    load(QStringLiteral("earlier.klg"), true);
    const QStringList before = rowTexts(m_env->loadData);
    QVERIFY(!m_env->staging().isEmpty());

    const QString path = m_env->path(QStringLiteral("bad.klg"));
    if (!content.isNull())
        m_env->env.dir.writeFile(QStringLiteral("bad.klg"), content);
    LogLoadResult result;
    const QString thrown = kelvoraErrorText([&] { result = load(QStringLiteral("bad.klg"), true, 2); });

    QCOMPARE(thrown, error.contains(QLatin1String("%1")) ? error.arg(path) : error);
    QVERIFY(!result.accepted);
    QCOMPARE(rowTexts(m_env->loadData), before);
    QCOMPARE(m_env->storedRows(m_env->loadData), before.size());
    QCOMPARE(m_busy, false);
    // Nothing of the failed file stays in the staging file either.
    QCOMPARE(m_env->staging(), QByteArray());
    if (openDescriptors(path) >= 0) {
        QCOMPARE(openDescriptors(path), 0);
        QCOMPARE(openDescriptors(m_env->path(QStringLiteral("AsciiDBF.TXT"))), 0);
    }
    QVERIFY(m_env->env.dialogs.shown.isEmpty());
}

void TestLogFileReader::databaseFailureRollsBack_data()
{
    EngineFailure::addRows();
}

// A database failure part-way through the appends or at their commit takes
// back the file's rows that were already appended, in the database and in
// the row cache, a bound grid hears of it, and the engine's own reason is
// reported.
void TestLogFileReader::databaseFailureRollsBack()
{
    m_env->env.dir.writeFile(QStringLiteral("earlier.klg"), logFile({Head + "20.0  ,0.95,C"}));
    load(QStringLiteral("earlier.klg"), true);
    // Enough rows to need new pages; the triggers refuse the 150th.
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << Head + QStringLiteral("%1  ,0.95,C").arg(25.0 + i / 10.0, 4, 'f', 1);
    m_env->env.dir.writeFile(QStringLiteral("run.klg"), logFile(lines));
    QSignalSpy resets(&m_env->loadData, &MeasureTable::rowsReset);
    QFETCH(EngineFailure::Kind, failure);

    QString error;
    {
        EngineFailure engine(failure, m_env->db, QStringLiteral("INSERT ON LoadData"),
                             QStringLiteral("NEW.recno = 150"));
        QVERIFY(engine.armed());
        error = databaseErrorText([&] { load(QStringLiteral("run.klg"), true, 2); });
        QVERIFY2(error.contains(engine.reason()), qPrintable(error));
    }
    QCOMPARE(rowTexts(m_env->loadData), QStringList{"1|2006-5-12|10:20:30|20|0.95|C"});
    QCOMPARE(m_env->storedRows(m_env->loadData), 1);
    QCOMPARE(m_env->staging(), QByteArray());
    QVERIFY(!resets.isEmpty());
    QCOMPARE(m_busy, false);
    QCOMPARE(m_env->db.bulkDepth(), 0);
}

// The progress is told once the count is known and then as lines are read,
// with the busy flag set throughout; the lines are read to the end whatever the
// count says.
void TestLogFileReader::progressWhileBusy()
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << Head + QStringLiteral("%1  ,0.95,C").arg(20.0 + i / 10.0, 4, 'f', 1);
    m_env->env.dir.writeFile(QStringLiteral("long.klg"), logFile(lines, 7));
    QList<QPair<int, int>> reports;
    bool alwaysBusy = true;
    const LogLoadResult result = load(QStringLiteral("long.klg"), true, 1, [&](int rowsRead, int total) {
        reports << qMakePair(rowsRead, total);
        alwaysBusy = alwaysBusy && m_busy;
        return true;
    });

    QCOMPARE(reports, (QList<QPair<int, int>>{{0, 7}, {256, 7}, {300, 7}}));
    QVERIFY(alwaysBusy);
    QCOMPARE(m_busy, false);
    QCOMPARE(result.total, 7);
    QCOMPARE(result.rowsAppended(), 300);
    QCOMPARE(m_env->storedRows(m_env->loadData), 300);
}

void TestLogFileReader::stoppedLoadLeavesOnlyOtherWrites_data()
{
    QTest::addColumn<int>("stopAt");       // the report (rows read) that asks to stop
    QTest::addColumn<bool>("liveReading"); // a reading appended to MeaData at the report of 256 rows
    QTest::addColumn<bool>("editedRow");   // the earlier file's row edited at that report

    QTest::newRow("when counted") << 0 << false << false;
    QTest::newRow("part-way") << 512 << false << false;
    QTest::newRow("after the last row, before the commit") << 600 << false << false;
    QTest::newRow("part-way after a live reading") << 512 << true << false;
    QTest::newRow("after the last row, after an edit") << 600 << false << true;
}

// The caller stops the load from its progress, while other writes on the
// connection (a live run's reading, an edited cell) join the transaction:
// nothing of the file stays, and those writes do.
void TestLogFileReader::stoppedLoadLeavesOnlyOtherWrites()
{
    QFETCH(int, stopAt);
    QFETCH(bool, liveReading);
    QFETCH(bool, editedRow);
    m_env->env.dir.writeFile(QStringLiteral("earlier.klg"), logFile({Head + "20.0  ,0.95,C"}));
    load(QStringLiteral("earlier.klg"), true);
    QStringList lines;
    for (int i = 0; i < 600; ++i)
        lines << Head + QStringLiteral("%1  ,0.95,C").arg(25.0 + i / 10.0, 4, 'f', 1);
    m_env->env.dir.writeFile(QStringLiteral("run.klg"), logFile(lines));
    const MeasureRecord reading = logRecord(1, QStringLiteral("2024-05-01"), QStringLiteral("10:00:00"), 36.6,
                                            0.95, QStringLiteral("C"));
    MeasureRecord edited = m_env->loadData.rows().first();
    edited.meavalue = 21.5;

    const LogLoadResult result = load(QStringLiteral("run.klg"), true, 2, [&](int rowsRead, int) {
        if (rowsRead == 256 && liveReading)
            m_env->meaData.append(reading);
        if (rowsRead == 256 && editedRow)
            m_env->loadData.post(0, edited);
        return rowsRead != stopAt;
    });

    QVERIFY(result.cancelled);
    QVERIFY(!result.accepted);
    const QStringList earlier{editedRow ? "1|2006-5-12|10:20:30|21.5|0.95|C"
                                        : "1|2006-5-12|10:20:30|20|0.95|C"};
    QCOMPARE(rowTexts(m_env->loadData), earlier);
    m_env->loadData.refresh();
    QCOMPARE(rowTexts(m_env->loadData), earlier);
    QCOMPARE(m_env->storedRows(m_env->meaData), liveReading ? 1 : 0);
    QCOMPARE(m_env->db.bulkDepth(), 0);
    QCOMPARE(m_busy, false);
    QCOMPARE(m_env->staging(), QByteArray());
    // Committed, not left in an open transaction: a fresh connection sees them.
    m_env->db.close();
    m_env->db.open(m_env->path(QStringLiteral("Kelvora.mdb")));
    m_env->meaData.open();
    m_env->loadData.open();
    QCOMPARE(m_env->storedRows(m_env->meaData), liveReading ? 1 : 0);
    QCOMPARE(rowTexts(m_env->loadData), earlier);
}

QTEST_GUILESS_MAIN(TestLogFileReader)
#include "tst_logfilereader.moc"
