// The data windows' grid: white text on the desktop colour, rows tinted by
// the owning window's callback, appended rows inserted and shown.
#include "storetestsupport.h"

#include "measure/cellcolours.h"
#include "measure/measuregrid.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeasureGrid : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void appendedRowsAreInsertedAndShown();
    void rowsDrawnInTheCallbacksColours();
    void currentCellKeepsItsRowsColour_data();
    void currentCellKeepsItsRowsColour();

private:
    // The grid's viewport as drawn.
    static QImage render(MeasureGrid &grid);

    QTemporaryDir m_dir;
    std::unique_ptr<KelvoraDatabase> m_db;
    std::unique_ptr<MeasureTable> m_table;
};

void TestMeasureGrid::init()
{
    QVERIFY(m_dir.isValid());
    const QString file = QDir(m_dir.path()).filePath(QStringLiteral("grid.mdb"));
    QFile::remove(file);
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(file);
    m_table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("MeaData"));
    m_table->open();
}

void TestMeasureGrid::cleanup()
{
    m_table.reset();
    m_db.reset();
}

QImage TestMeasureGrid::render(MeasureGrid &grid)
{
    return grid.viewport()->grab().toImage();
}

void TestMeasureGrid::appendedRowsAreInsertedAndShown()
{
    MeasureGrid grid(*m_table);
    grid.resize(400, 150);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy inserted(grid.tableModel(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(grid.tableModel(), &QAbstractItemModel::modelReset);

    for (int i = 1; i <= 40; ++i) {
        m_table->append(measureRecord(i, 20.0 + i));
        QCOMPARE(grid.currentIndex().row(), i - 1);
        QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
    }
    QCOMPARE(inserted.count(), 40);
    QCOMPARE(reset.count(), 0);

    // After a refresh the grid stays on the table's current row.
    m_table->first();
    m_table->refresh();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(grid.currentIndex().row(), 0);
    QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
}

void TestMeasureGrid::rowsDrawnInTheCallbacksColours()
{
    const QList<double> values{30.0, 45.0, 10.0, 25.0};
    for (int i = 0; i < values.size(); ++i)
        m_table->append(measureRecord(i + 1, values[i]));
    MeasureGrid grid(*m_table);
    grid.resize(500, 200);
    double maxReading = 45.0, minReading = 10.0;
    grid.setDrawColumnCell(
        [&](const MeasureRecord &row) { return extremesColour(row.meavalue, maxReading, minReading); });
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    // The Ems column: away from the current cell, its text short and left.
    auto background = [&](const QImage &image, int row) {
        const QRect cell = grid.visualRect(grid.tableModel()->index(row, MeasureTableModel::Ems));
        return image.pixelColor(cell.right() - 3, cell.center().y());
    };
    auto hasWhiteText = [&](const QImage &image, int row) {
        const QRect cell = grid.visualRect(grid.tableModel()->index(row, MeasureTableModel::Ems));
        for (int x = cell.left(); x < cell.right(); ++x)
            for (int y = cell.top(); y < cell.bottom(); ++y)
                if (image.pixelColor(x, y) == QColor(Qt::white))
                    return true;
        return false;
    };

    QImage image = render(grid);
    QCOMPARE(background(image, 0), desktopColour());
    QCOMPARE(background(image, 1), QColor(255, 0, 0));
    QCOMPARE(background(image, 2), QColor(128, 0, 128));
    QCOMPARE(background(image, 3), desktopColour());
    QVERIFY(hasWhiteText(image, 0));
    QVERIFY(hasWhiteText(image, 1));

    // The callback reads the window's current extremes at every repaint.
    maxReading = 30.0;
    minReading = 25.0;
    grid.viewport()->update();
    image = render(grid);
    QCOMPARE(background(image, 0), QColor(255, 0, 0));
    QCOMPARE(background(image, 2), QColor(128, 0, 128));
    QCOMPARE(background(image, 3), QColor(128, 0, 128));
}

void TestMeasureGrid::currentCellKeepsItsRowsColour_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("maximum, red") << 1 << QColor(255, 0, 0);
    QTest::newRow("minimum, purple") << 2 << QColor(128, 0, 128);
    QTest::newRow("a file's colour") << 3 << QColor(255, 255, 0);
    QTest::newRow("the grid's own colour") << 0 << desktopColour();
}

// The current cell, selected and with the keyboard focus, is drawn in its
// row's colour like every other cell of the row, not in the highlight colour.
void TestMeasureGrid::currentCellKeepsItsRowsColour()
{
    QFETCH(int, row);
    QFETCH(QColor, colour);
    const QList<double> values{30.0, 45.0, 10.0, 25.0};
    for (int i = 0; i < values.size(); ++i)
        m_table->append(measureRecord(i + 1, values[i]));
    MeasureGrid grid(*m_table);
    grid.resize(720, 200); // every column in view
    grid.setDrawColumnCell([](const MeasureRecord &r) {
        return r.recno == 4 ? CellColour::Yellow : extremesColour(r.meavalue, 45.0, 10.0);
    });
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.activateWindow();
    grid.setFocus(Qt::TabFocusReason);
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    // As after moving to the cell with the keyboard, when styles draw the
    // focus most visibly.
    grid.setAttribute(Qt::WA_KeyboardFocusChange);

    for (int column = 0; column < MeasureTableModel::ColumnCount; ++column) {
        const QModelIndex current = grid.tableModel()->index(row, column);
        grid.setCurrentIndex(current);
        QVERIFY(grid.hasFocus());
        QVERIFY(grid.selectionModel()->isSelected(current));
        const QImage image = render(grid);
        // Every cell of the row, along a line right of its text and inside
        // the focus frame.
        for (int c = 0; c < MeasureTableModel::ColumnCount; ++c) {
            const QRect cell = grid.visualRect(grid.tableModel()->index(row, c));
            for (int y = cell.top() + 2; y <= cell.bottom() - 2; ++y)
                QVERIFY2(image.pixelColor(cell.right() - 3, y) == colour,
                         qPrintable(QStringLiteral("current column %1, cell %2, y %3: %4")
                                        .arg(column)
                                        .arg(c)
                                        .arg(y)
                                        .arg(image.pixelColor(cell.right() - 3, y).name())));
        }
    }
}

QTEST_MAIN(TestMeasureGrid)
#include "tst_measuregrid.moc"
