// Prints what one append (followed by moving to the last row) costs on a
// small table and on a table of 100,000 rows, and how fast a bulk fill runs.
// The two per-append figures should be about equal.

#include "benchsupport.h"
#include "devicelink/kelvoraerror.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

MeasureRecord record(int i)
{
    return benchRecord(i, i, 20.0 + (i % 200) / 10.0);
}

// Microseconds per append + last() over count appends.
double appendCost(MeasureTable &table, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        table.append(record(i));
        table.last();
    }
    return timer.nsecsElapsed() / 1000.0 / count;
}

void measureAt(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    table.emptyTable();
    QElapsedTimer timer;
    timer.start();
    db.beginBulk();
    for (int i = 0; i < rows; ++i)
        table.append(record(i));
    db.commitBulk();
    const double fillSeconds = timer.nsecsElapsed() / 1e9;

    // One commit per row, as when logging readings one by one.
    const double own = appendCost(table, 200);
    // Inside a transaction: the cost of the table itself, without the commit.
    db.beginBulk();
    const double bulk = appendCost(table, 5000);
    db.commitBulk();

    std::printf("at %6d rows: append+last %8.1f us (own commit), %6.2f us (in a transaction)\n", rows, own,
                bulk);
    if (rows >= 1000)
        std::printf("  bulk fill of %d rows: %.0f rows/s (%.2f s)\n", rows, rows / fillSeconds, fillSeconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    try {
        KelvoraDatabase db;
        db.open(QDir(dir.path()).filePath(QStringLiteral("bench.mdb")));
        MeasureTable table(db, QStringLiteral("MeaData"));
        table.open();
        measureAt(db, table, 10);
        measureAt(db, table, 100000);

        table.close();
        QElapsedTimer timer;
        timer.start();
        table.open();
        std::printf("open (reads %d rows): %.1f ms\n", table.recordCount(), timer.nsecsElapsed() / 1e6);
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
