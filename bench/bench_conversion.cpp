// Prints what a unit change of a 100,000-row table costs in each direction,
// and what appending one row costs with a grid attached and shown, at 10 rows
// and at 100,000 rows. Run with QT_QPA_PLATFORM=offscreen.

#include "benchsupport.h"
#include "devicelink/kelvoraerror.h"
#include "shell/measuregrid.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"
#include "store/tableunitconversion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVector>

#include <cstdio>

namespace {

constexpr int LongTable = 100000;

MeasureRecord record(int i)
{
    return benchRecord(i + 1, i, 20.0 + (i % 5000) / 10.0);
}

// Fills the table with rows, announcing one reset to a bound grid.
void fill(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    table.emptyTable();
    table.disableControls();
    db.beginBulk();
    for (int i = 0; i < rows; ++i)
        table.append(record(i));
    db.commitBulk();
    table.enableControls();
}

// Keeps the points as a window does beside its chart.
class PointCollector : public ConversionSink {
public:
    void clearSeries() override { points.clear(); }
    void addPoint(int, double value) override { points.append(value); }
    QVector<double> points;
};

void benchConversion(KelvoraDatabase &db, MeasureTable &table, SqlStatement &query)
{
    fill(db, table, LongTable);
    PointCollector chart;
    chart.points.reserve(LongTable);
    bool celsius = true;
    for (int run = 0; run < 4; ++run) {
        QElapsedTimer timer;
        timer.start();
        const UnitConversionResult result =
            convertTableUnit(table, query, MeasureUnits, celsius, !celsius, chart);
        std::printf("conversion of %d rows, %s: %.0f ms (max %.1f, axis %.1f..%.1f)\n", result.rows,
                    celsius ? "C to F" : "F to C", timer.nsecsElapsed() / 1e6, result.maxReading,
                    result.axisMin, result.axisMax);
        celsius = result.windowCelsius;
    }
    QElapsedTimer timer;
    timer.start();
    table.refresh();
    std::printf("  of which one refresh (re-read of %d rows): %.0f ms\n", table.recordCount(),
                timer.nsecsElapsed() / 1e6);
}

enum class Paint { EachRow, AtEnd };

// Microseconds per append + last() (+ repaint), over count appends.
double appendCost(MeasureTable &table, int count, bool suspended, Paint paint = Paint::EachRow)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        if (suspended)
            table.disableControls();
        table.append(record(table.recordCount()));
        table.last();
        if (suspended)
            table.enableControls();
        if (paint == Paint::EachRow)
            QCoreApplication::processEvents();
    }
    const double cost = timer.nsecsElapsed() / 1000.0 / count;
    QCoreApplication::processEvents();
    return cost;
}

void benchAppend(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    fill(db, table, rows);
    QCoreApplication::processEvents();
    // One commit per row, as the windows log readings.
    const double own = appendCost(table, 500, false);
    // Inside one transaction: the table and the grid without the commit.
    db.beginBulk();
    const double inBulk = appendCost(table, 2000, false);
    // The grid's bookkeeping alone, painting once at the end.
    const double unpainted = appendCost(table, 2000, false, Paint::AtEnd);
    db.commitBulk();
    // With the grid's updates suspended around each append, which announces
    // a reset instead of an inserted row.
    db.beginBulk();
    const double suspended = appendCost(table, 20, true);
    db.commitBulk();
    std::printf("at %6d rows, append+last+paint: %7.1f us with its own commit, %6.1f us in a transaction "
                "(%5.1f us of it without the paint), %7.1f us with the grid's updates suspended\n",
                rows, own, inBulk, unpainted, suspended);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    try {
        KelvoraDatabase db;
        db.open(QDir(dir.path()).filePath(QStringLiteral("bench.mdb")));
        MeasureTable table(db, QStringLiteral("MeaData"));
        SqlStatement query(db);
        table.open();

        benchConversion(db, table, query);

        MeasureGrid grid(table);
        grid.setDrawColumnCell(
            [](const MeasureRecord &row) { return extremesColour(row.meavalue, 500.0, 20.0); });
        grid.resize(420, 300);
        grid.show();
        benchAppend(db, table, 10);
        benchAppend(db, table, LongTable);
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
