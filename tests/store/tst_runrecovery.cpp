// Saving the rows of a run that ended without the program's own close: only
// a marker left by such a run and rows in MeaData write a file; the file
// loads back as the rows; a failure is told and the rows stay.
#include "logfiletestsupport.h"

#include "store/logfilereader.h"
#include "store/runrecovery.h"

#include <QtTest>

class TestRunRecovery : public QObject {
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<LogFileEnv>(); }
    void cleanup() { m_env.reset(); }

    void writesOnlyAfterAnUnclosedRunWithRows_data();
    void writesOnlyAfterAnUnclosedRunWithRows();
    void recoveredFileLoadsBackAsTheRows();
    void failureIsToldAndKeepsTheRows();

private:
    QString folder() const { return m_env->path(QString()); }
    QStringList recoveredFiles() const
    {
        return QDir(folder()).entryList({QStringLiteral("Recovered *")}, QDir::AllEntries);
    }

    std::unique_ptr<LogFileEnv> m_env;
    const QDateTime m_now{QDate(2026, 12, 10), QTime(23, 5, 9)};
};

void TestRunRecovery::writesOnlyAfterAnUnclosedRunWithRows_data()
{
    QTest::addColumn<bool>("closed"); // the earlier run went through its own close
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("written");
    QTest::newRow("killed with rows") << false << 3 << true;
    QTest::newRow("killed without rows") << false << 0 << false;
    QTest::newRow("closed with rows") << true << 3 << false;
    QTest::newRow("first start ever") << true << 0 << false;
}

void TestRunRecovery::writesOnlyAfterAnUnclosedRunWithRows()
{
    QFETCH(bool, closed);
    QFETCH(int, rows);
    QFETCH(bool, written);
    {
        const RunRecovery earlier(folder());
        earlier.markRunning();
        for (int i = 1; i <= rows; ++i)
            m_env->meaData.append(measureRecord(i, 20 + i));
        if (closed)
            earlier.markClosed();
    }
    const RunRecovery::Result result = RunRecovery(folder()).recover(m_env->meaData, m_now);
    const QString expected = m_env->path(QStringLiteral("Recovered 2026-12-10 23-05-09.klg"));
    QCOMPARE(result.outcome, written ? RunRecovery::Outcome::Written : RunRecovery::Outcome::Nothing);
    QCOMPARE(result.path, written ? expected : QString());
    QCOMPARE(recoveredFiles(), written ? QStringList{QFileInfo(expected).fileName()} : QStringList());
    QCOMPARE(m_env->meaData.recordCount(), rows); // emptying is the caller's
}

// Written in the measurement window's format, the file loads into LoadData
// as the very rows (values with one decimal, as the window saves them).
void TestRunRecovery::recoveredFileLoadsBackAsTheRows()
{
    RunRecovery(folder()).markRunning();
    const QList<MeasureRecord> rows{logRecord(1, "2026-12-10", "23:01:00", 21.5, 0.95, "C"),
                                    logRecord(2, "2026-12-10", "23:01:01", -4.25, 0.9, "C"),
                                    logRecord(3, "2026-12-10", "23:01:02", 1022.04, 1.0, "C")};
    for (const MeasureRecord &r : rows)
        m_env->meaData.append(r);

    const RunRecovery::Result result = RunRecovery(folder()).recover(m_env->meaData, m_now);
    QCOMPARE(result.outcome, RunRecovery::Outcome::Written);

    QVERIFY(loadLogFile(result.path, m_env->db, m_env->loadData, 1, true).accepted);
    QStringList expected;
    for (MeasureRecord r : rows) {
        r.meavalue = QString::number(r.meavalue, 'f', 1).toDouble();
        expected << rowText(r);
    }
    QCOMPARE(rowTexts(m_env->loadData), expected);
}

// A folder in the way of the file: the reason is returned, nothing is left
// under the name and MeaData keeps its rows.
void TestRunRecovery::failureIsToldAndKeepsTheRows()
{
    RunRecovery(folder()).markRunning();
    m_env->meaData.append(measureRecord(1, 20));
    const QString name = RunRecovery::fileName(m_now);
    QVERIFY(QDir(folder()).mkdir(name));

    const RunRecovery::Result result = RunRecovery(folder()).recover(m_env->meaData, m_now);
    QCOMPARE(result.outcome, RunRecovery::Outcome::Failed);
    QCOMPARE(result.path, m_env->path(name));
    QVERIFY2(result.error.contains(name), qPrintable(result.error));
    QVERIFY(QFileInfo(result.path).isDir());
    QCOMPARE(m_env->meaData.recordCount(), 1);
}

QTEST_GUILESS_MAIN(TestRunRecovery)
#include "tst_runrecovery.moc"
