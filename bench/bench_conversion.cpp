// Prints what a unit change of a 100,000-row table costs in each direction,
// and what appending one row costs with a grid attached and shown, on a
// table of 10 rows and on one of 100,000 rows. Both sizes time the same
// operations: rounds of ten appends, each timed alone, that start from a
// table of exactly that size, restored (untimed) after each round, with the
// grid's colouring the same for every row appended. Run with
// QT_QPA_PLATFORM=offscreen.

#include "benchsupport.h"
#include "common/kelvoraerror.h"
#include "measure/measuregrid.h"
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
constexpr int Rounds = 20;
constexpr int AppendsPerRound = 10;

MeasureRecord record(int i)
{
    // Inside the extremes the grid colours (20 and 500): every row is drawn alike.
    return benchRecord(i + 1, i, 20.5 + (i % 4000) / 10.0);
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

void benchAppend(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    fill(db, table, rows);
    QCoreApplication::processEvents();
    const auto append = [&] {
        table.append(record(table.recordCount()));
        table.last();
    };
    const auto appendAndPaint = [&] {
        append();
        QCoreApplication::processEvents();
    };
    // With the grid's updates suspended around the append, which then
    // announces a reset instead of an inserted row.
    const auto suspendedAppendAndPaint = [&] {
        table.disableControls();
        append();
        table.enableControls();
        QCoreApplication::processEvents();
    };
    // Each round starts from the same table, with the grid repainted.
    const auto rollBack = [&] {
        db.rollbackBulk();
        QCoreApplication::processEvents();
        db.beginBulk();
    };

    // One commit per row, as the windows log readings.
    const Timing own = timeRounds(Rounds, AppendsPerRound, appendAndPaint, [&] {
        truncateTable(db, table, rows);
        QCoreApplication::processEvents();
    });
    // Inside a transaction: the table and the grid without the commit; the
    // rollback takes the table back.
    db.beginBulk();
    const Timing inBulk = timeRounds(Rounds, AppendsPerRound, appendAndPaint, rollBack);
    // The grid's bookkeeping alone: the paint follows the round, untimed.
    const Timing unpainted = timeRounds(Rounds, AppendsPerRound, append, rollBack);
    const Timing suspended = timeRounds(Rounds, AppendsPerRound, suspendedAppendAndPaint, rollBack);
    db.rollbackBulk();
    QCoreApplication::processEvents();

    std::printf("table of %d to %d rows, one append+last+paint with the grid shown (median / mean of %d, in "
                "rounds of %d from exactly %d rows):\n"
                "  %7.1f / %7.1f us with its own commit, %6.1f / %6.1f us in a transaction, %5.1f / %5.1f us "
                "of it without the paint,\n  %7.1f / %7.1f us in a transaction with the grid's updates "
                "suspended\n",
                rows, rows + AppendsPerRound - 1, own.count, AppendsPerRound, rows, own.median, own.mean,
                inBulk.median, inBulk.mean, unpainted.median, unpainted.mean, suspended.median,
                suspended.mean);
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
