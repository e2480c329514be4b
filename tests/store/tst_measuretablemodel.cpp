// The grids' table model: appends arrive as inserted rows, everything else
// as a reset, and the model never reads rows the table no longer holds.
#include "storetestsupport.h"

#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeasureTableModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columnsAndTexts_data();
    void columnsAndTexts();
    void appendsInsertOnlyTheNewRows();
    void tableChangesReset_data();
    void tableChangesReset();
    void rowsGoneWithoutNoticeReadAsAbsent();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<KelvoraDatabase> m_db;
    std::unique_ptr<MeasureTable> m_table;
};

void TestMeasureTableModel::init()
{
    QVERIFY(m_dir.isValid());
    const QString file = QDir(m_dir.path()).filePath(QStringLiteral("model.mdb"));
    QFile::remove(file);
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(file);
    m_table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("MeaData"));
    m_table->open();
}

void TestMeasureTableModel::cleanup()
{
    m_table.reset();
    m_db.reset();
}

void TestMeasureTableModel::columnsAndTexts_data()
{
    QTest::addColumn<double>("meavalue");
    QTest::addColumn<double>("ems");
    QTest::addColumn<QStringList>("texts");

    // Numbers in general format: a stored 25.0 shows as "25".
    QTest::newRow("whole value") << 25.0 << 0.95
                                 << QStringList{"7", "25", "F", "0.95", "10:00:07", "2024-05-01"};
    QTest::newRow("one decimal") << 97.9 << 1.0
                                 << QStringList{"7", "97.9", "F", "1", "10:00:07", "2024-05-01"};
    QTest::newRow("negative") << -10.5 << 0.1
                              << QStringList{"7", "-10.5", "F", "0.1", "10:00:07", "2024-05-01"};
}

void TestMeasureTableModel::columnsAndTexts()
{
    QFETCH(double, meavalue);
    QFETCH(double, ems);
    QFETCH(QStringList, texts);

    MeasureRecord r = measureRecord(7, meavalue, QStringLiteral("F"));
    r.ems = ems;
    m_table->append(r);
    MeasureTableModel model(*m_table);

    QStringList headers, shown;
    for (int column = 0; column < model.columnCount(); ++column) {
        headers << model.headerData(column, Qt::Horizontal).toString();
        shown << model.index(0, column).data().toString();
    }
    QCOMPARE(headers, (QStringList{"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"}));
    QCOMPARE(shown, texts);
}

void TestMeasureTableModel::appendsInsertOnlyTheNewRows()
{
    m_table->append(measureRecord(1, 20.0));
    MeasureTableModel model(*m_table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    // The row count the model reports while announcing the insert.
    QList<int> countsBeforeInsert;
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [&] { countsBeforeInsert << model.rowCount(); });

    for (int i = 2; i <= 4; ++i)
        m_table->append(measureRecord(i, 20.0 + i));

    QCOMPARE(reset.count(), 0);
    QCOMPARE(inserted.count(), 3);
    for (int i = 0; i < inserted.count(); ++i) {
        QCOMPARE(inserted.at(i).at(1).toInt(), i + 1);
        QCOMPARE(inserted.at(i).at(2).toInt(), i + 1);
    }
    QCOMPARE(countsBeforeInsert, (QList<int>{1, 2, 3}));
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(3, MeasureTableModel::RecNo).data().toString(), QStringLiteral("4"));
}

void TestMeasureTableModel::tableChangesReset_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("rowsAfter");

    QTest::newRow("refresh") << "refresh" << 2;
    QTest::newRow("empty") << "empty" << 0;
    QTest::newRow("close") << "close" << 0;
    QTest::newRow("appends while suspended") << "suspended appends" << 4;
}

void TestMeasureTableModel::tableChangesReset()
{
    QFETCH(QString, change);

    m_table->append(measureRecord(1, 20.0));
    m_table->append(measureRecord(2, 21.0));
    MeasureTableModel model(*m_table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    if (change == QLatin1String("refresh")) {
        m_table->refresh();
    } else if (change == QLatin1String("empty")) {
        m_table->emptyTable();
    } else if (change == QLatin1String("close")) {
        m_table->close();
    } else {
        m_table->disableControls();
        m_table->append(measureRecord(3, 22.0));
        m_table->append(measureRecord(4, 23.0));
        QCOMPARE(model.rowCount(), 2);
        m_table->enableControls();
    }
    QCOMPARE(reset.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QTEST(model.rowCount(), "rowsAfter");
}

void TestMeasureTableModel::rowsGoneWithoutNoticeReadAsAbsent()
{
    for (int i = 1; i <= 3; ++i)
        m_table->append(measureRecord(i, 20.0 + i));
    MeasureTableModel model(*m_table);

    // Emptied with the grid's updates suspended: the model hears of it only
    // on resuming, and a paint in between must not read the gone rows.
    m_table->disableControls();
    m_table->emptyTable();
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.record(0));
    QVERIFY(!model.index(2, MeasureTableModel::MeaValue).data().isValid());
    m_table->enableControls();
    QCOMPARE(model.rowCount(), 0);

    // A table destroyed before its model leaves an empty model.
    m_table->append(measureRecord(1, 20.0));
    QCOMPARE(model.rowCount(), 1);
    m_table.reset();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.record(0));
}

QTEST_GUILESS_MAIN(TestMeasureTableModel)
#include "tst_measuretablemodel.moc"
