// Prints what one append (followed by moving to the last row) costs on a
// table of 10 rows and on one of 100,000 rows, and how fast a bulk fill
// runs. Both sizes time the same operations: rounds of ten appends, each
// timed alone, that start from a table of exactly that size, which is
// restored (untimed) after each round. The figures at the two sizes should
// be about equal.

#include "benchsupport.h"
#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Rounds = 20;
constexpr int AppendsPerRound = 10;

MeasureRecord record(int i)
{
    return benchRecord(i, i, 20.0 + (i % 200) / 10.0);
}

void measureAt(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    table.emptyTable();
    QElapsedTimer timer;
    timer.start();
    db.inBulk([&] {
        for (int i = 0; i < rows; ++i)
            table.append(record(i));
    });
    const double fillSeconds = timer.nsecsElapsed() / 1e9;

    const auto appendLast = [&] {
        table.append(record(table.recordCount()));
        table.last();
    };
    // One commit per row, as when logging readings one by one.
    const Timing own =
        timeRounds(Rounds, AppendsPerRound, appendLast, [&] { truncateTable(db, table, rows); });
    // Inside a transaction: the cost of the table itself, without the
    // commit. The rollback takes the table back.
    db.beginBulk();
    const Timing bulk = timeRounds(Rounds, AppendsPerRound, appendLast, [&] {
        db.rollbackBulk();
        db.beginBulk();
    });
    db.rollbackBulk();

    std::printf("table of %d to %d rows, one append+last (median and mean of %d, in rounds of %d from "
                "exactly %d rows):\n  with its own commit %7.1f us, %7.1f us; in a transaction %6.2f us, "
                "%6.2f us\n",
                rows, rows + AppendsPerRound - 1, own.count, AppendsPerRound, rows, own.median, own.mean,
                bulk.median, bulk.mean);
    if (rows >= 1000)
        std::printf("  bulk fill of %d rows in one transaction: %.0f rows/s (%.2f s)\n", rows,
                    rows / fillSeconds, fillSeconds);
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
