// Prints what an import of a full thermometer memory (5000 records) costs:
// the time from "Start to Import" to the last row shown, over a
// pseudo-terminal with the simulator answering at 19200-baud pace, beside
// the wire time of the reply plus the 1.5 s of quiet that ends it (the
// limit); and the fill alone (table, grid, chart and statistics), timed
// several times from records already parsed, each time into an empty table
// as after a download.

#include "benchsupport.h"
#include "common/apppaths.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Records = 5000;
constexpr int FillRounds = 5;
constexpr double QuietSeconds = 1.5;

// "ATP" and six bytes a record, ten bit times a byte at 19200 baud.
double wireSeconds(int records)
{
    return (3 + 6.0 * records) * 10 / 19200;
}

// Waits with the event loop running until done() holds or ms have passed.
template <typename Done>
bool waitFor(Done done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

double importSeconds(TForm4 &window)
{
    QElapsedTimer clock;
    clock.start();
    window.BitBtn1Click();
    // The grid and the chart draw what the fill gave them.
    QCoreApplication::processEvents();
    return clock.nsecsElapsed() / 1e9;
}

Timing fillTimes(TForm4 &window, MeasureTable &table)
{
    std::vector<double> times;
    for (int round = 0; round < FillRounds; ++round) {
        // Emptied as the window does before a download, outside the time.
        table.close();
        table.emptyTable();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        window.fillTable();
        QCoreApplication::processEvents();
        times.push_back(clock.nsecsElapsed() / 1e3);
        if (table.recordCount() != Records)
            std::printf("  round %d: the table holds %d rows, not %d\n", round, table.recordCount(), Records);
    }
    return Timing::of(times);
}

} // namespace

int main(int argc, char **argv)
{
    drawWithoutDisplayUnlessAsked();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString link = QDir(dir.path()).filePath(QStringLiteral("thermometer"));
    prepareProgramDir(dir.path(), "[Kelvora OPTIONS]\nSEARIAL_PORT=" + link.toUtf8() + "\nUNIT_CF=1\n");

    QProcess simulator;
    simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/thermometer-sim"),
                    {QStringLiteral("--link"), link, QStringLiteral("--records"), QString::number(Records),
                     QStringLiteral("--profile"), QStringLiteral("sine:3000:800:600")});
    if (!simulator.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    int status = 0;
    try {
        TForm6 device;
        device.FormCreate();
        SystemVars.unitCelsius = true;
        auto *window = new TForm4;
        SystemVars.importWindow = window;
        window->resize(1280, 800);
        window->show();
        if (!waitFor([] { return SystemVars.settingsRead; }, 5000)) {
            std::fprintf(stderr, "no answer from the simulator\n");
            return 1;
        }

        const double limit = wireSeconds(Records) + QuietSeconds;
        const double took = importSeconds(*window);
        const int rows = device.Table2.recordCount();
        std::printf("import of %d records over a pseudo-terminal: %.3f s from Start to the last row shown\n",
                    rows, took);
        std::printf("  wire time %.3f s + %.1f s of quiet = %.3f s (the limit); over it by %.3f s (target "
                    "within 0.5 s)\n",
                    wireSeconds(Records), QuietSeconds, limit, took - limit);
        if (rows != Records)
            status = 1;

        const Timing fill = fillTimes(*window, device.Table2);
        std::printf("fill of %d rows into an empty table (table, grid, chart, statistics): %.1f / %.1f ms "
                    "median / mean of %d (target under 150 ms)\n",
                    Records, fill.median / 1000, fill.mean / 1000, fill.count);
        SystemVars.importWindow = nullptr;
        delete window;
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        status = 1;
    }
    simulator.terminate();
    simulator.waitForFinished(3000);
    AppPaths::setExecutableDir(QString());
    return status;
}
