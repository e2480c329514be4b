#include "enginefailure.h"
#include "storetestsupport.h"

#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

class TestKelvoraDatabase : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createsFileAndTablesInWorkingDirectory();
    void reopenKeepsRows();
    void openFailureNamesTheFile_data();
    void openFailureNamesTheFile();
    void lockedDatabaseFailsWritesWithoutHanging_data();
    void lockedDatabaseFailsWritesWithoutHanging();
    void bulkTransactions_data();
    void bulkTransactions();
    void failedBulkWriteLeavesWhatTheDatabaseHolds_data();
    void failedBulkWriteLeavesWhatTheDatabaseHolds();
    void secondOwnerOfTheConnectionIsRefused();

private:
    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

void TestKelvoraDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestKelvoraDatabase::cleanup()
{
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
    QVERIFY2(!QSqlDatabase::contains(QString::fromLatin1(KelvoraDatabase::ConnectionName)),
             "a test left the connection registered");
}

void TestKelvoraDatabase::createsFileAndTablesInWorkingDirectory()
{
    KelvoraDatabase db;
    db.open();
    QVERIFY(db.isOpen());
    QCOMPARE(db.filePath(), path(QStringLiteral("Kelvora.mdb")));
    QVERIFY(QFile::exists(path(QStringLiteral("Kelvora.mdb"))));

    const QStringList columns{"recno", "date", "time", "ems", "meavalue", "unit"};
    for (const char *table : {"MeaData", "GetRecorde", "LoadData"}) {
        const QSqlRecord record = db.connection().record(QString::fromLatin1(table));
        QStringList names;
        for (int i = 0; i < record.count(); ++i)
            names << record.fieldName(i);
        QCOMPARE(names, columns);
    }

    QSqlQuery mode(db.connection());
    QVERIFY(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
    QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
    // FULL (2): a commit is on the disk when it returns. Tests that kill the
    // program cannot show this, since a killed process leaves its writes in
    // the system's cache; only a power cut or a system crash loses them.
    QVERIFY(mode.exec(QStringLiteral("PRAGMA synchronous")) && mode.next());
    QCOMPARE(mode.value(0).toInt(), 2);

    db.close();
    QVERIFY(!db.isOpen());
}

void TestKelvoraDatabase::reopenKeepsRows()
{
    const QString file = path(QStringLiteral("keep.mdb"));
    {
        KelvoraDatabase db;
        db.open(file);
        MeasureTable table(db, QStringLiteral("LoadData"));
        table.open();
        table.append(measureRecord(1, 20.5));
        table.append(measureRecord(2, 21.5));
    }
    KelvoraDatabase db;
    db.open(file);
    MeasureTable table(db, QStringLiteral("LoadData"));
    table.open();
    QCOMPARE(table.recordCount(), 2);
    QCOMPARE(table.rows().at(1).meavalue, 21.5);
    QCOMPARE(MeasureTable(db, QStringLiteral("MeaData")).isActive(), false);
}

void TestKelvoraDatabase::openFailureNamesTheFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents"); // written first unless empty
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing directory") << QStringLiteral("no/such/dir/Kelvora.mdb") << QByteArray()
                                       << QStringLiteral("folder does not exist");
    QTest::newRow("text file") << QStringLiteral("notes.mdb")
                               << QByteArray("recno;date;time;ems;meavalue;unit\n").repeated(40)
                               << QStringLiteral("file is not a database");
}

void TestKelvoraDatabase::openFailureNamesTheFile()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(QString, reason);

    const QString file = path(fileName);
    if (!contents.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }

    KelvoraDatabase db;
    const QString text = databaseErrorText([&] { db.open(file); });
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
    QVERIFY(!db.isOpen());

    // The file that is not a database is left as it was.
    if (!contents.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), contents);
    }
    // The failed attempt leaves nothing behind that blocks the next open.
    db.open(path(QStringLiteral("good.mdb")));
    QVERIFY(db.isOpen());
}

void TestKelvoraDatabase::lockedDatabaseFailsWritesWithoutHanging_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("append") << QStringLiteral("append");
    QTest::newRow("statement") << QStringLiteral("statement");
    QTest::newRow("begin bulk") << QStringLiteral("begin bulk");
    QTest::newRow("empty table") << QStringLiteral("empty table");
}

void TestKelvoraDatabase::lockedDatabaseFailsWritesWithoutHanging()
{
    QFETCH(QString, operation);
    const QString file = path(QStringLiteral("locked.mdb"));
    {
        KelvoraDatabase db;
        db.open(file);
        MeasureTable table(db, QStringLiteral("MeaData"));
        table.open();
        table.append(measureRecord(1, 30.0));
    }

    OtherConnection other(file);
    QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
    QVERIFY(other.exec(QStringLiteral("INSERT INTO MeaData (recno) VALUES (99)")));

    // Opening an existing file needs no write, so it works despite the lock.
    KelvoraDatabase db;
    db.setBusyTimeout(200);
    db.open(file);
    MeasureTable table(db, QStringLiteral("MeaData"));
    table.open();
    SqlStatement statement(db);
    statement.setText(QStringLiteral("update meadata set meavalue=meavalue+1"));

    QElapsedTimer timer;
    timer.start();
    const QString text = databaseErrorText([&] {
        if (operation == QLatin1String("append"))
            table.append(measureRecord(2, 31.0));
        else if (operation == QLatin1String("statement"))
            statement.execSQL();
        else if (operation == QLatin1String("begin bulk"))
            db.beginBulk();
        else
            table.emptyTable();
    });
    QVERIFY2(timer.elapsed() < 2000, "the write waited far beyond the busy timeout");
    QVERIFY2(text.contains(QStringLiteral("database is locked")), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
    QCOMPARE(db.bulkDepth(), 0);

    // Readers are not blocked (WAL), and see only committed rows.
    table.refresh();
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.current().meavalue, 30.0);

    // Once the other writer is done, the same operation goes through.
    QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    table.append(measureRecord(3, 32.0));
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), 2);
}

void TestKelvoraDatabase::bulkTransactions_data()
{
    // Script: A append a row, B beginBulk, C commitBulk, R rollbackBulk.
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("committedRows"); // as another connection sees them
    QTest::addColumn<bool>("lastStepThrows");

    QTest::newRow("one level") << "BAAC" << 2 << false;
    QTest::newRow("inner commit keeps the transaction open") << "BBAAC" << 0 << false;
    QTest::newRow("outer commit commits") << "BBAACC" << 2 << false;
    QTest::newRow("rollback") << "BAAR" << 0 << false;
    QTest::newRow("rows before the transaction stay") << "ABAR" << 1 << false;
    QTest::newRow("inner rollback dooms the outer commit") << "BBAARAC" << 0 << true;
    QTest::newRow("nested rollbacks") << "BBARR" << 0 << false;
    QTest::newRow("new transaction after a rollback") << "BARBAC" << 1 << false;
}

void TestKelvoraDatabase::bulkTransactions()
{
    QFETCH(QString, script);
    QFETCH(int, committedRows);
    QFETCH(bool, lastStepThrows);

    const QString file = path(QStringLiteral("bulk.mdb"));
    KelvoraDatabase db;
    db.open(file);
    MeasureTable table(db, QStringLiteral("MeaData"));
    table.open();
    OtherConnection other(file);

    bool threw = false;
    for (int i = 0; i < script.size(); ++i) {
        const bool lastStep = i == script.size() - 1;
        const QString text = databaseErrorText([&] {
            switch (script.at(i).toLatin1()) {
            case 'A': table.append(measureRecord(i, i)); break;
            case 'B': db.beginBulk(); break;
            case 'C': db.commitBulk(); break;
            case 'R': db.rollbackBulk(); break;
            }
        });
        QVERIFY2(text.isEmpty() || lastStep, qPrintable(text));
        threw = !text.isEmpty();
    }
    QCOMPARE(threw, lastStepThrows);
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), committedRows);
    // After a rollback the table's rows match the database again; inside an
    // open transaction they include its uncommitted rows.
    if (db.bulkDepth() == 0)
        QCOMPARE(table.recordCount(), committedRows);
}

void TestKelvoraDatabase::failedBulkWriteLeavesWhatTheDatabaseHolds_data()
{
    EngineFailure::addRows();
}

// Whether the engine has rolled the transaction back itself or left it open,
// the user hears the engine's own reason, the table shows exactly the rows
// the database holds, and the connection is out of the transaction, so that
// the next row is committed.
void TestKelvoraDatabase::failedBulkWriteLeavesWhatTheDatabaseHolds()
{
    QFETCH(EngineFailure::Kind, failure);
    const QString file = path(QStringLiteral("failing.mdb"));
    KelvoraDatabase db;
    db.open(file);
    MeasureTable table(db, QStringLiteral("MeaData"));
    table.open();
    table.append(measureRecord(1, 20.0));
    OtherConnection other(file);
    QSignalSpy resets(&table, &MeasureTable::rowsReset);

    QString error;
    {
        // Rows enough to need new pages; the triggers refuse row 150.
        EngineFailure engine(failure, db, QStringLiteral("INSERT ON MeaData"),
                             QStringLiteral("NEW.recno = 150"));
        QVERIFY(engine.armed());
        error = databaseErrorText([&] {
            db.inBulk([&] {
                for (int i = 2; i <= 300; ++i)
                    table.append(measureRecord(i, 20.0 + i));
            });
        });
        QVERIFY2(error.contains(engine.reason()), qPrintable(error));
    }
    QVERIFY2(!error.contains(QLatin1String("roll back")), qPrintable(error));
    QCOMPARE(db.bulkDepth(), 0);
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), 1);
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.rows().constFirst().meavalue, 20.0);
    QVERIFY(!resets.isEmpty());

    table.append(measureRecord(2, 21.0));
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), 2);
    db.inBulk([&] { table.append(measureRecord(3, 22.0)); });
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), 3);
    QCOMPARE(table.recordCount(), 3);
}

void TestKelvoraDatabase::secondOwnerOfTheConnectionIsRefused()
{
    KelvoraDatabase first;
    first.open(path(QStringLiteral("a.mdb")));
    KelvoraDatabase second;
    const QString text = databaseErrorText([&] { second.open(path(QStringLiteral("b.mdb"))); });
    QVERIFY2(text.contains(QStringLiteral("already in use")), qPrintable(text));

    // The first owner's connection still works.
    MeasureTable table(first, QStringLiteral("MeaData"));
    table.open();
    table.append(measureRecord(1, 1.0));
    table.refresh();
    QCOMPARE(table.recordCount(), 1);
}

QTEST_GUILESS_MAIN(TestKelvoraDatabase)
#include "tst_kelvoradatabase.moc"
