// Prints what handling one reading costs in the real-time measurement window
// (table row, grid, LED display, footer and chart, with the event loop's
// pending chart update and paint included) when the series holds 10, 10,000,
// 100,000 and 604,800 readings (a week at one a second), and the program's
// peak memory after each of the two largest.
// Every series begins with its lowest and its highest reading, so that the
// same readings do the same at every size. Two kinds are timed: a reading
// within the extremes (only its new row is drawn) and a reading that is a
// new maximum (the extremes move and the whole grid is repainted). Each
// round fills the series to exactly the size (untimed), then times five
// readings of each kind, one by one. The cost should hardly grow with the
// series.

#include "benchsupport.h"
#include "common/apppaths.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "measure/Measuring.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <ctime>
#include <cstdio>

namespace {

constexpr int ReadingsPerKind = 5;
constexpr qint32 Lowest = 100;  // tenths of a degree: 10.0 C
constexpr qint32 Highest = 400; // 40.0 C

// The i-th reading of a filled series: the lowest and the highest first,
// then a slow wave around 25 C with some spread, between the two.
qint32 fillReading(int i)
{
    if (i < 2)
        return i == 0 ? Lowest : Highest;
    return 250 + qint32(std::lround(80 * std::sin(i / 500.0))) + int((qint64(i) * 7919) % 13);
}

void deliver(qint32 tenths)
{
    SystemVars.lastValue = tenths;
    SystemVars.lastEms = 95;
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);
}

// Empties the window's series and fills it with `readings` readings in one
// transaction and without painting. The event loop turns now and then, as it
// does between the readings of a live run: the grid's scroll bar posts an
// update per new row, and a week of them left queued would count in the
// peak memory as if a run kept them.
void fillSeries(TForm5 &window, TForm6 &link, int readings)
{
    window.BitBtn2Click();
    window.setUpdatesEnabled(false);
    link.Database1.inBulk([&] {
        for (int i = 0; i < readings; ++i) {
            deliver(fillReading(i));
            if (i % 4096 == 4095)
                QCoreApplication::processEvents();
        }
    });
    window.setUpdatesEnabled(true);
    QCoreApplication::processEvents();
}

struct ReadingCost {
    std::vector<double> wall; // microseconds per reading
    std::vector<double> cpu;
};

// Delivers one reading and lets the event loop apply the chart update and
// paint the window, timing both.
void timeReading(qint32 tenths, ReadingCost &cost)
{
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer timer;
    timer.start();
    deliver(tenths);
    QCoreApplication::processEvents();
    cost.wall.push_back(double(timer.nsecsElapsed()) / 1000.0);
    cost.cpu.push_back(double(std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC);
}

void printCost(const char *kind, const ReadingCost &cost)
{
    const Timing wall = Timing::of(cost.wall);
    const Timing cpu = Timing::of(cost.cpu);
    std::printf("  %-38s %7.1f / %7.1f us per reading, %7.1f / %7.1f us of it CPU\n", kind, wall.median,
                wall.mean, cpu.median, cpu.mean);
}

struct SeriesCost {
    ReadingCost within;     // readings within the extremes
    ReadingCost newMaximum; // readings that each are a new maximum
    double fillSeconds = 0.0;
};

// Times readings of both kinds on a series of `existing` readings, in
// `rounds` rounds.
SeriesCost measureSeries(TForm5 &window, TForm6 &link, int existing, int rounds)
{
    SeriesCost cost;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer fill;
        fill.start();
        fillSeries(window, link, existing);
        cost.fillSeconds += fill.nsecsElapsed() / 1e9;
        for (int i = 0; i < ReadingsPerKind; ++i)
            timeReading(fillReading(existing + i), cost.within);
        for (int i = 1; i <= ReadingsPerKind; ++i)
            timeReading(Highest + i, cost.newMaximum);
    }
    return cost;
}

// Prints the costs at one size; returns the median cost of a reading within
// the extremes.
double costAt(TForm5 &window, TForm6 &link, int existing, int rounds)
{
    const SeriesCost cost = measureSeries(window, link, existing, rounds);
    std::printf("series of %d readings (median / mean of %d per kind; each of %d rounds filled in %.2f s):\n",
                existing, rounds * ReadingsPerKind, rounds, cost.fillSeconds / rounds);
    printCost("within the extremes (readings +1 to +5):", cost.within);
    printCost("each a new maximum (readings +6 to +10):", cost.newMaximum);
    return Timing::of(cost.within.wall).median;
}

} // namespace

int main(int argc, char **argv)
{
    drawWithoutDisplayUnlessAsked();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    prepareProgramDir(dir.path(), "[Kelvora OPTIONS]\nSEARIAL_PORT=\nUNIT_CF=1\n");

    try {
        TForm6 link;
        link.FormCreate();
        link.Timer1.setEnabled(false); // no thermometer: the link's poll stays out of the figures
        SystemVars.unitCelsius = true;

        auto *window = new TForm5;
        SystemVars.measureWindow = window;
        window->resize(1280, 800);
        window->show();
        QCoreApplication::processEvents();
        // Fonts, glyphs and the database warm up before anything is timed.
        measureSeries(*window, link, 10, 1);

        const double small = costAt(*window, link, 10, 20);
        costAt(*window, link, 10000, 10);
        const double large = costAt(*window, link, 100000, 4);
        const double peakLarge = peakMemoryKb() / 1024.0;
        const double week = costAt(*window, link, 604800, 2);
        const double peakWeek = peakMemoryKb() / 1024.0;
        std::printf(
            "cost within the extremes at 100,000 / at 10: %.2f (target at most 3, and under 5000 us)\n",
            large / small);
        std::printf("cost within the extremes at 604,800 / at 10: %.2f (target at most 1.5)\n", week / small);
        std::printf("peak memory (VmHWM) after 100,000 readings: %.1f MiB (target under 300 MiB)\n",
                    peakLarge);
        std::printf("peak memory (VmHWM) after 604,800 readings: %.1f MiB (target at most 250 MiB)\n",
                    peakWeek);

        delete window;
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    AppPaths::setExecutableDir(QString());
    return 0;
}
