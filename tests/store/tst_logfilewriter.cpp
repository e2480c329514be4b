// Writing a table as a log file: fixed-width record lines, CR LF after every
// line, the value text of each window, and an old file that survives a
// failed save.
#include "filesizelimit.h"
#include "logfiletestsupport.h"

#include "store/logfilewriter.h"

#include <QtTest>

Q_DECLARE_METATYPE(LogValueText)

class TestLogFileWriter : public QObject {
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<LogFileEnv>(); }
    void cleanup() { m_env.reset(); }

    void recordLine_data();
    void recordLine();
    void fileBytes_data();
    void fileBytes();
    void uncreatableFileNamesIt();
    void failedWriteKeepsOldFile();

private:
    std::unique_ptr<LogFileEnv> m_env;
};

void TestLogFileWriter::recordLine_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<double>("meavalue");
    QTest::addColumn<double>("ems");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<LogValueText>("valueText");
    QTest::addColumn<QString>("line");

    const auto shortest = LogValueText::Shortest;
    const auto oneDecimal = LogValueText::OneDecimal;
    QTest::newRow("example") << "2006-5-12" << "10:20:30" << 25.3 << 0.95 << "C" << shortest
                             << "2006-5-12 ,10:20:30,25.3  ,0.95,C";
    QTest::newRow("import 25 shortest") << "2024-05-01" << "10:20:30" << 25.0 << 0.95 << "C" << shortest
                                        << "2024-05-01,10:20:30,25    ,0.95,C";
    QTest::newRow("measurement 25 one decimal") << "2024-05-01" << "10:20:30" << 25.0 << 0.95 << "C" << oneDecimal
                                                << "2024-05-01,10:20:30,25.0  ,0.95,C";
    QTest::newRow("ems 1 padded") << "2024-05-01" << "09:05:07" << -10.5 << 1.0 << "F" << oneDecimal
                                  << "2024-05-01,09:05:07,-10.5 ,1   ,F";
    QTest::newRow("six-character value") << "2024-05-01" << "09:05:07" << 1112.0 << 0.1 << "F" << oneDecimal
                                         << "2024-05-01,09:05:07,1112.0,0.1 ,F";
    QTest::newRow("long fields written whole") << "2024-05-01 Wed" << "9:05:07 PM" << 25.25 << 0.95 << "C"
                                               << shortest << "2024-05-01 Wed,9:05:07 PM,25.25 ,0.95,C";
}

// The line as the writer puts it into the file, read back from the table.
void TestLogFileWriter::recordLine()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(double, meavalue);
    QFETCH(double, ems);
    QFETCH(QString, unit);
    QFETCH(LogValueText, valueText);
    QFETCH(QString, line);

    m_env->getRecorde.append(logRecord(1, date, time, meavalue, ems, unit));
    m_env->getRecorde.refresh(); // numbers as the database gives them back
    const QString path = m_env->path(QStringLiteral("line.klg"));
    writeLogFile(path, m_env->getRecorde, valueText);
    QCOMPARE(m_env->env.dir.readFile(QStringLiteral("line.klg")),
             crlfLines({QStringLiteral("@Quellmarkon KLG File"), QStringLiteral("Total:1"), line}));
}

void TestLogFileWriter::fileBytes_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty table") << QList<double>{} << QByteArray("@Quellmarkon KLG File\r\nTotal:0\r\n");
    QTest::newRow("rows in scan order") << QList<double>{36.6, 25.0, 97.9}
                                        << QByteArray("@Quellmarkon KLG File\r\nTotal:3\r\n"
                                                      "2024-05-01,10:00:01,36.6  ,0.95,C\r\n"
                                                      "2024-05-01,10:00:02,25.0  ,0.95,C\r\n"
                                                      "2024-05-01,10:00:03,97.9  ,0.95,C\r\n");
}

void TestLogFileWriter::fileBytes()
{
    QFETCH(QList<double>, values);
    QFETCH(QByteArray, bytes);

    for (int i = 0; i < values.size(); ++i)
        m_env->meaData.append(measureRecord(i + 1, values[i]));
    // An older, longer file of that name is replaced, not overwritten in part.
    m_env->env.dir.writeFile(QStringLiteral("run.klg"), QByteArray(500, 'x'));
    writeLogFile(m_env->path(QStringLiteral("run.klg")), m_env->meaData, LogValueText::OneDecimal);
    QCOMPARE(m_env->env.dir.readFile(QStringLiteral("run.klg")), bytes);
}

void TestLogFileWriter::uncreatableFileNamesIt()
{
    m_env->env.dir.writeFile(QStringLiteral("plain"), "not a folder");
    const QString path = m_env->path(QStringLiteral("plain/run.klg"));
    const QString error =
        kelvoraErrorText([&] { writeLogFile(path, m_env->meaData, LogValueText::OneDecimal); });
    QVERIFY2(error.startsWith(QStringLiteral("Cannot create file %1: ").arg(path)), qPrintable(error));
}

// A write that fails part-way (here the file size limit of the process, as
// a full disk would) leaves the previous file whole and no temporary file.
void TestLogFileWriter::failedWriteKeepsOldFile()
{
    for (int i = 0; i < 200; ++i)
        m_env->meaData.append(measureRecord(i + 1, 20.0 + i));
    const QByteArray old("@Quellmarkon KLG File\r\nTotal:0\r\n");
    m_env->env.dir.writeFile(QStringLiteral("old.klg"), old);
    const QStringList before = QDir(m_env->path(QString())).entryList(QDir::Files);
    const QString path = m_env->path(QStringLiteral("old.klg"));

    QString error;
    {
        FileSizeLimit limit(1024);
        QVERIFY(limit.active());
        error = kelvoraErrorText([&] { writeLogFile(path, m_env->meaData, LogValueText::OneDecimal); });
    }

    QVERIFY2(error.startsWith(QStringLiteral("Cannot write file %1: ").arg(path)), qPrintable(error));
    QCOMPARE(m_env->env.dir.readFile(QStringLiteral("old.klg")), old);
    QCOMPARE(QDir(m_env->path(QString())).entryList(QDir::Files), before);
}

QTEST_GUILESS_MAIN(TestLogFileWriter)
#include "tst_logfilewriter.moc"
