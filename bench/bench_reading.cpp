// Prints what handling one reading costs in the real-time measurement window
// (table row, grid, LED display, footer and chart, with the event loop's
// pending chart update included) when the series already holds 10, 10,000
// and 100,000 readings, and the program's peak memory after the largest one.
// The cost should hardly grow with the series.

#include "benchsupport.h"
#include "devicelink/apppaths.h"
#include "devicelink/kelvoraerror.h"
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

constexpr int MeasuredReadings = 200;

// A reading of the simulated run: a slow wave around 25 C with some spread.
qint32 readingAt(int i)
{
    return 250 + qint32(std::lround(80 * std::sin(i / 500.0))) + (i * 7919) % 13;
}

void deliver(int i)
{
    SystemVars.lastValue = readingAt(i);
    SystemVars.lastEms = 95;
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);
}

// Microseconds per reading over `count` readings from index `first` on,
// each followed by the event loop's turn that applies the chart update and
// paints the window.
double timeReadings(int first, int count, double *cpuMicroseconds = nullptr)
{
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer timer;
    timer.start();
    for (int i = first; i < first + count; ++i) {
        deliver(i);
        QCoreApplication::processEvents();
    }
    const double wall = timer.nsecsElapsed() / 1000.0 / count;
    if (cpuMicroseconds)
        *cpuMicroseconds = double(std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC / count;
    return wall;
}

// Empties the window's series, fills it with `existing` readings in one
// transaction and without painting, then times MeasuredReadings more.
double costAt(TForm5 &window, TForm6 &link, int existing)
{
    window.BitBtn2Click();
    QElapsedTimer fill;
    fill.start();
    window.setUpdatesEnabled(false);
    link.Database1.beginBulk();
    for (int i = 0; i < existing; ++i)
        deliver(i);
    link.Database1.commitBulk();
    window.setUpdatesEnabled(true);
    QCoreApplication::processEvents();
    const double fillSeconds = fill.nsecsElapsed() / 1e9;

    double cpu = 0.0;
    const double perReading = timeReadings(existing, MeasuredReadings, &cpu);
    std::printf("%7d readings in the series: %7.1f us per reading, %7.1f us of it CPU  (fill %.2f s)\n",
                existing, perReading, cpu, fillSeconds);
    return perReading;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setExecutableDir(dir.path());
    QDir::setCurrent(dir.path());
    {
        QFile report(QDir(dir.path()).filePath(QString::fromLatin1(TForm6::ReportFileName)));
        report.open(QIODevice::WriteOnly);
        report.write("layout\n");
        QFile settings(QDir(dir.path()).filePath(QStringLiteral("KELVORA.INI")));
        settings.open(QIODevice::WriteOnly);
        settings.write("[Kelvora OPTIONS]\nSEARIAL_PORT=\nUNIT_CF=1\n");
    }

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
        timeReadings(0, MeasuredReadings);

        const double small = costAt(*window, link, 10);
        costAt(*window, link, 10000);
        const double large = costAt(*window, link, 100000);
        const double peak = peakMemoryKb() / 1024.0;
        std::printf("cost at 100,000 / cost at 10: %.2f (target at most 3, and under 5000 us)\n",
                    large / small);
        std::printf("peak memory (VmHWM) after 100,000 readings: %.1f MiB (target under 300 MiB)\n", peak);

        SystemVars.dataSaved = true;
        delete window;
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    AppPaths::setExecutableDir(QString());
    return 0;
}
