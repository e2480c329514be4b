#include "storetestsupport.h"

#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

class TestMeasureTable : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void appendKeepsInsertionOrder();
    void fieldByNameIgnoresCase_data();
    void fieldByNameIgnoresCase();
    void numbersAsStringUseShortestForm_data();
    void numbersAsStringUseShortestForm();
    void emptyTableKeepsTable_data();
    void emptyTableKeepsTable();
    void refreshShowsStatementChanges_data();
    void refreshShowsStatementChanges();
    void failingStatementThrows();
    void signalsAndSuspendedControls();
    void closedTableThrows_data();
    void closedTableThrows();

private:
    QString filePath() const { return QDir(m_dir.path()).filePath(QStringLiteral("store.mdb")); }

    QTemporaryDir m_dir;
    std::unique_ptr<KelvoraDatabase> m_db;
};

void TestMeasureTable::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(filePath());
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(filePath());
}

void TestMeasureTable::cleanup()
{
    m_db.reset();
}

void TestMeasureTable::appendKeepsInsertionOrder()
{
    MeasureTable table(*m_db, QStringLiteral("MeaData"));
    table.open();
    QVERIFY(table.eof());

    // Record numbers out of order: the table keeps the order of logging.
    const QList<qint64> recnos{3, 1, 2};
    for (int i = 0; i < recnos.size(); ++i) {
        table.append(measureRecord(recnos[i], 20.0 + i));
        QCOMPARE(table.cursor(), i);
        QVERIFY(!table.eof());
        QCOMPARE(table.current().recno, recnos[i]);
    }

    auto scan = [&table] {
        QList<qint64> seen;
        for (table.first(); !table.eof(); table.next())
            seen << table.current().recno;
        return seen;
    };
    QCOMPARE(scan(), recnos);
    table.last();
    QCOMPARE(table.current().recno, qint64(2));
    table.next();
    QVERIFY(table.eof());

    // An append adds its own row to the cache and reads nothing back: a row
    // written behind the table's back appears only on refresh.
    SqlStatement statement(*m_db);
    statement.setText(QStringLiteral("insert into meadata (recno) values (9)"));
    statement.execSQL();
    table.append(measureRecord(4, 24.0));
    QCOMPARE(table.recordCount(), 4);
    table.refresh();
    QCOMPARE(scan(), (QList<qint64>{3, 1, 2, 9, 4}));

    // Reopening reads the same order from the file; other tables are untouched.
    table.close();
    table.open();
    QCOMPARE(scan(), (QList<qint64>{3, 1, 2, 9, 4}));
    MeasureTable other(*m_db, QStringLiteral("LoadData"));
    other.open();
    QCOMPARE(other.recordCount(), 0);
}

void TestMeasureTable::fieldByNameIgnoresCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected"); // invalid: the name is unknown

    QTest::newRow("recno") << "recno" << QVariant(qint64(7));
    QTest::newRow("RECNO") << "RECNO" << QVariant(qint64(7));
    QTest::newRow("Date") << "Date" << QVariant(QStringLiteral("2024-05-01"));
    QTest::newRow("TIME") << "TIME" << QVariant(QStringLiteral("10:00:07"));
    QTest::newRow("Ems") << "Ems" << QVariant(0.95);
    QTest::newRow("MeaValue") << "MeaValue" << QVariant(36.6);
    QTest::newRow("uNIT") << "uNIT" << QVariant(QStringLiteral("F"));
    QTest::newRow("unknown") << "Temperature" << QVariant();
    QTest::newRow("near miss") << "meavalue " << QVariant();
}

void TestMeasureTable::fieldByNameIgnoresCase()
{
    QFETCH(QString, name);
    QFETCH(QVariant, expected);

    MeasureTable table(*m_db, QStringLiteral("GetRecorde"));
    table.open();
    table.append(measureRecord(7, 36.6, QStringLiteral("F")));

    // From the cache as appended, then as read back from the file.
    for (const char *pass : {"appended", "read back"}) {
        if (QByteArray(pass) == "read back")
            table.refresh();
        if (!expected.isValid()) {
            const QString text = databaseErrorText([&] { table.fieldByName(name); });
            QCOMPARE(text, QStringLiteral("Field '%1' not found").arg(name));
            continue;
        }
        QCOMPARE(table.fieldByName(name), expected);
    }
}

void TestMeasureTable::numbersAsStringUseShortestForm_data()
{
    QTest::addColumn<double>("meavalue");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole number") << 25.0 << "25";
    QTest::newRow("one decimal") << 36.6 << "36.6";
    QTest::newRow("negative") << -10.5 << "-10.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("sum error hidden") << 0.1 + 0.2 << "0.3";
    QTest::newRow("many digits") << 1234.5678 << "1234.5678";
    QTest::newRow("small") << 0.0001 << "0.0001";
    QTest::newRow("large") << 1800.0 << "1800";
}

void TestMeasureTable::numbersAsStringUseShortestForm()
{
    QFETCH(double, meavalue);
    QFETCH(QString, expected);

    MeasureTable table(*m_db, QStringLiteral("MeaData"));
    table.open();
    table.append(measureRecord(12, meavalue));
    for (const char *pass : {"appended", "read back"}) {
        if (QByteArray(pass) == "read back")
            table.refresh();
        QCOMPARE(table.fieldAsString(QStringLiteral("meavalue")), expected);
        QCOMPARE(table.fieldAsFloat(QStringLiteral("MEAVALUE")), meavalue);
        QCOMPARE(table.fieldAsString(QStringLiteral("recno")), QStringLiteral("12"));
        QCOMPARE(table.fieldAsString(QStringLiteral("ems")), QStringLiteral("0.95"));
    }
}

void TestMeasureTable::emptyTableKeepsTable_data()
{
    QTest::addColumn<QString>("state"); // of the table when it is emptied
    QTest::newRow("open") << "open";
    QTest::newRow("closed") << "closed";
    QTest::newRow("left from an earlier run") << "earlier run";
}

void TestMeasureTable::emptyTableKeepsTable()
{
    QFETCH(QString, state);

    auto table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("MeaData"));
    table->open();
    for (int i = 1; i <= 3; ++i)
        table->append(measureRecord(i, 30.0 + i));
    if (state == QLatin1String("closed")) {
        table->close();
    } else if (state == QLatin1String("earlier run")) {
        table.reset();
        m_db = std::make_unique<KelvoraDatabase>();
        m_db->open(filePath());
        table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("MeaData"));
    }
    const bool wasOpen = table->isActive();

    QSignalSpy reset(table.get(), &MeasureTable::rowsReset);
    table->emptyTable();
    QCOMPARE(table->isActive(), wasOpen);
    QCOMPARE(reset.count(), wasOpen ? 1 : 0);
    if (!wasOpen)
        table->open();

    QCOMPARE(table->recordCount(), 0);
    QVERIFY(table->eof());
    // No current row: fields read as null rather than stale values.
    table->last();
    QCOMPARE(table->fieldAsString(QStringLiteral("meavalue")), QString());
    QCOMPARE(table->fieldAsFloat(QStringLiteral("meavalue")), 0.0);

    table->append(measureRecord(8, 18.0));
    OtherConnection other(filePath());
    QCOMPARE(other.rowCount(QStringLiteral("MeaData")), 1);
}

void TestMeasureTable::refreshShowsStatementChanges_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<QString>("fahrenheit");

    QTest::newRow("body temperature") << 36.6 << "97.9";
    QTest::newRow("room") << 25.3 << "77.5";
    QTest::newRow("below zero") << -10.5 << "13.1";
    QTest::newRow("freezing") << 0.0 << "32";
}

void TestMeasureTable::refreshShowsStatementChanges()
{
    QFETCH(double, celsius);
    QFETCH(QString, fahrenheit);

    MeasureTable table(*m_db, QStringLiteral("MeaData"));
    table.open();
    table.append(measureRecord(1, celsius));
    const QString original = table.fieldAsString(QStringLiteral("meavalue"));

    SqlStatement statement(*m_db);
    auto run = [&statement](const QString &text) {
        statement.close();
        statement.clear();
        statement.setText(text);
        statement.execSQL();
    };
    run(QStringLiteral("update meadata set meavalue=round((meavalue*1.8+32)*10)/10"));
    run(QStringLiteral("update MeaData set Unit='F'"));
    QCOMPARE(table.fieldAsString(QStringLiteral("meavalue")), original); // not yet refreshed
    table.refresh();
    QCOMPARE(table.fieldAsString(QStringLiteral("meavalue")), fahrenheit);
    QCOMPARE(table.fieldAsString(QStringLiteral("unit")), QStringLiteral("F"));

    run(QStringLiteral("UPDATE MEADATA SET MeaValue=round((meavalue-32)/1.8*10)/10"));
    run(QStringLiteral("update meadata set unit='C'"));
    table.refresh();
    QCOMPARE(table.fieldAsString(QStringLiteral("meavalue")), original);
    QCOMPARE(table.fieldAsString(QStringLiteral("unit")), QStringLiteral("C"));
}

void TestMeasureTable::failingStatementThrows()
{
    SqlStatement statement(*m_db);
    statement.setText(QStringLiteral("update NoSuchTable set unit='F'"));
    const QString text = databaseErrorText([&] { statement.execSQL(); });
    QVERIFY2(text.contains(QStringLiteral("no such table")), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(filePath())), qPrintable(text));
}

void TestMeasureTable::signalsAndSuspendedControls()
{
    MeasureTable table(*m_db, QStringLiteral("LoadData"));
    table.open();
    QSignalSpy appended(&table, &MeasureTable::rowsAppended);
    QSignalSpy reset(&table, &MeasureTable::rowsReset);

    table.append(measureRecord(1, 1.0));
    table.append(measureRecord(2, 2.0));
    QCOMPARE(appended.count(), 2);
    QCOMPARE(appended.at(1), (QVariantList{1, 1}));
    table.refresh();
    QCOMPARE(reset.count(), 1);

    // Nested suspension: nothing until the outermost resume, then one reset.
    appended.clear();
    reset.clear();
    table.disableControls();
    table.disableControls();
    table.append(measureRecord(3, 3.0));
    table.append(measureRecord(4, 4.0));
    table.refresh();
    table.enableControls();
    QCOMPARE(reset.count(), 0);
    table.enableControls();
    QCOMPARE(appended.count(), 0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(table.recordCount(), 4);

    // Resuming after no change announces nothing; a stray resume is harmless.
    table.disableControls();
    table.enableControls();
    table.enableControls();
    QCOMPARE(reset.count(), 1);
    table.append(measureRecord(5, 5.0));
    QCOMPARE(appended.count(), 1);
    QCOMPARE(appended.at(0), (QVariantList{4, 4}));
}

void TestMeasureTable::closedTableThrows_data()
{
    QTest::addColumn<QString>("closedBy");
    QTest::addColumn<QString>("operation");

    const QStringList operations{"append", "refresh", "first", "next", "last", "current", "fieldAsString"};
    for (const char *closedBy : {"table close", "database close", "database destroyed"})
        for (const QString &op : operations)
            QTest::addRow("%s, %s", closedBy, qPrintable(op)) << QString::fromLatin1(closedBy) << op;
}

void TestMeasureTable::closedTableThrows()
{
    QFETCH(QString, closedBy);
    QFETCH(QString, operation);

    MeasureTable table(*m_db, QStringLiteral("MeaData"));
    table.open();
    table.append(measureRecord(1, 1.0));
    if (closedBy == QLatin1String("table close"))
        table.close();
    else if (closedBy == QLatin1String("database close"))
        m_db->close();
    else
        m_db.reset();
    QVERIFY(!table.isActive());
    QVERIFY(table.eof());
    QCOMPARE(table.recordCount(), 0);

    const QMap<QString, std::function<void()>> operations{
        {"append", [&] { table.append(measureRecord(2, 2.0)); }},
        {"refresh", [&] { table.refresh(); }},
        {"first", [&] { table.first(); }},
        {"next", [&] { table.next(); }},
        {"last", [&] { table.last(); }},
        {"current", [&] { table.current(); }},
        {"fieldAsString", [&] { table.fieldAsString(QStringLiteral("unit")); }},
    };
    const QString text = databaseErrorText(operations.value(operation));
    QCOMPARE(text, QStringLiteral("Cannot perform this operation on a closed dataset (table MeaData)"));

    // Without a database the table cannot be reopened or emptied either.
    if (closedBy != QLatin1String("table close")) {
        const QString expected = QStringLiteral("Cannot use table MeaData: the database is not open");
        QCOMPARE(databaseErrorText([&] { table.open(); }), expected);
        QCOMPARE(databaseErrorText([&] { table.emptyTable(); }), expected);
    }
}

QTEST_GUILESS_MAIN(TestMeasureTable)
#include "tst_measuretable.moc"
