// Prints what appending one reading to the chart costs, the update and its
// redraw included, with 10, 10,000 and 100,000 points already in the series,
// what loading 100,000 points at once costs, and the peak memory. Every size
// times the same operations: rounds of ten appends, each timed alone, that
// start from a series of exactly that size, restored (untimed) after each
// round. The cost at 100,000 points should stay close to the cost at 10.

#include "benchsupport.h"
#include "measure/datachart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <cmath>
#include <cstdio>

namespace {

constexpr int Rounds = 30;
constexpr int AppendsPerRound = 10;

// Counts the chart's repaints, to show that each append was drawn.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double reading(int i)
{
    return 250.0 + 100.0 * std::sin(i / 300.0) + (i % 7) * 0.3;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Median microseconds per append + update + redraw on a series of
// `existing` points.
double appendCost(int existing)
{
    DataChart chart;
    chart.addSeries(QStringLiteral("Series1"), Qt::red);
    chart.setTitle(QStringLiteral("Temp. Graph Analyzing"));
    chart.setAxisRange(ChartAxis::Left, 0.0, 500.0);
    chart.setFooter(
        {QStringLiteral("          MAX:     350.0"), QStringLiteral("          Date:     2024-05-01")});
    chart.resize(1400, 800);
    chart.show();
    QVector<double> points;
    for (int i = 0; i < existing; ++i)
        points.append(reading(i));
    chart.setSeriesData(0, points);
    settle();

    PaintCounter counter;
    chart.viewport()->installEventFilter(&counter);
    int next = existing;
    const Timing cost = timeRounds(
        Rounds, AppendsPerRound,
        [&] {
            chart.appendPoint(0, reading(next++));
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        },
        [&] {
            chart.setSeriesData(0, points);
            next = existing;
            settle();
        });
    std::printf("with %6d to %6d points: append + update + redraw %8.1f / %8.1f us (median / mean of %d, in "
                "rounds of %d from exactly %d points; %d redraws for %d appends and %d restores, %lld points "
                "drawn)\n",
                existing, existing + AppendsPerRound - 1, cost.median, cost.mean, cost.count, AppendsPerRound,
                existing, counter.paints, cost.count, Rounds,
                static_cast<long long>(chart.drawnPoints(0).size()));
    return cost.median;
}

void loadCost(int points)
{
    DataChart chart;
    chart.addSeries(QStringLiteral("Series1"), Qt::red);
    chart.resize(1400, 800);
    chart.show();
    settle();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < points; ++i)
        chart.appendPoint(0, reading(i));
    settle();
    std::printf("loading %d points and drawing them: %.1f ms\n", points, timer.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const long before = peakMemoryKb();
    const double small = appendCost(10);
    appendCost(10000);
    const double large = appendCost(100000);
    std::printf("median cost at 100,000 / at 10: %.2f\n", large / small);
    loadCost(100000);
    std::printf("peak memory: %ld kB (%ld kB before the charts)\n", peakMemoryKb(), before);
    return 0;
}
