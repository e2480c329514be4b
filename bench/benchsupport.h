#pragma once

// Pieces the benchmark programs share.

#include "common/apppaths.h"
#include "devicelink/systemvar.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLatin1Char>
#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

// Benchmarks draw their windows without a display unless one is asked for.
inline void drawWithoutDisplayUnlessAsked()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Makes dir the program's directory (executable and working directory) with
// a report layout and a settings file of the given body.
inline void prepareProgramDir(const QString &dir, const QByteArray &settings)
{
    AppPaths::setExecutableDir(dir);
    QDir::setCurrent(dir);
    QFile report(QDir(dir).filePath(QString::fromLatin1(TForm6::ReportFileName)));
    report.open(QIODevice::WriteOnly);
    report.write("layout\n");
    QFile ini(QDir(dir).filePath(QStringLiteral("KELVORA.INI")));
    ini.open(QIODevice::WriteOnly);
    ini.write(settings);
}

// Peak resident memory of this process in kB (VmHWM), 0 where unknown.
inline long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// A measurement row as the window stores it: the i-th second of one morning.
inline MeasureRecord benchRecord(qint64 recno, int i, double value)
{
    MeasureRecord r;
    r.recno = recno;
    r.date = QStringLiteral("2024-05-01");
    r.time = QStringLiteral("10:%1:%2")
                 .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(i % 60, 2, 10, QLatin1Char('0'));
    r.ems = 0.95;
    r.meavalue = value;
    r.unit = QStringLiteral("C");
    return r;
}

// Median and mean of a set of timings, in microseconds. The median is the
// steadier figure on a machine that other work shares.
struct Timing {
    double median = 0.0;
    double mean = 0.0;
    int count = 0;

    static Timing of(std::vector<double> microseconds)
    {
        Timing t;
        t.count = int(microseconds.size());
        if (microseconds.empty())
            return t;
        std::sort(microseconds.begin(), microseconds.end());
        t.median = microseconds[microseconds.size() / 2];
        t.mean = std::accumulate(microseconds.begin(), microseconds.end(), 0.0) / double(microseconds.size());
        return t;
    }
};

// Times rounds of runs of operation, each run alone. Every round starts
// from the same state: restore runs untimed after each round and brings that
// state back. Short rounds keep the runs close to that state; more than one
// run per round keeps the first run after a restore, which finds the caches
// disturbed by the restore, from dominating the figures.
template <typename Operation, typename Restore>
Timing timeRounds(int rounds, int runsPerRound, Operation &&operation, Restore &&restore)
{
    std::vector<double> microseconds;
    microseconds.reserve(std::size_t(rounds) * std::size_t(runsPerRound));
    for (int round = 0; round < rounds; ++round) {
        for (int run = 0; run < runsPerRound; ++run) {
            QElapsedTimer timer;
            timer.start();
            operation();
            microseconds.push_back(double(timer.nsecsElapsed()) / 1000.0);
        }
        restore();
    }
    return Timing::of(std::move(microseconds));
}

// Takes the table back to its first `rows` rows (at least one): the later
// rows are deleted and the row cache is re-read.
inline void truncateTable(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    SqlStatement statement(db);
    statement.setText(QStringLiteral("DELETE FROM %1 WHERE rowid > (SELECT rowid FROM %1 ORDER BY rowid "
                                     "LIMIT 1 OFFSET %2)")
                          .arg(table.tableName())
                          .arg(rows - 1));
    statement.execSQL();
    table.refresh();
}
