// Prints what the data view window costs with long log files: the load of a
// 100,000-line file into LoadData through the window (read, convert, store,
// grid model and chart, drawn), side by side with the sqlite3 command-line
// shell importing the same rows as CSV into a table of the same columns;
// the unit change of ten such files (1,000,000 rows) in each direction; the
// peak memory with the ten files loaded; and, for the load of one
// 1,000,000-line file into a fresh window, the longest stretch in which the
// window processed no events and the peak memory of that load. Needs the
// sqlite3 shell on PATH for the comparison.

#include "analysis/klgload.h"
#include "benchsupport.h"
#include "common/apppaths.h"
#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "measure/datachart.h"
#include "measure/measuregrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

constexpr int FileLines = 100000;
constexpr int Files = 10;
constexpr int ImportRuns = 5;
constexpr int LongFileLines = 1000000;

// Answers every open dialog with the next file of a list.
class BenchDialogs final : public Dialogs {
public:
    QStringList files;
    Button message(const QString &text, const QString &, Icon, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Ok;
    }
    QString openFileName(const QString &, const QString &) override
    {
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString saveFileName(const QString &, const QString &, const QString &, QString *) override
    {
        return QString();
    }
};

double valueAt(int file, int i)
{
    // A slow wave per file, so the chart has something to decimate.
    return 250.0 + file * 20.0 + ((i * 7 + file * 13) % 1500) / 10.0;
}

QString timeAt(int i)
{
    return QStringLiteral("%1:%2:%3")
        .arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
        .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'));
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw KelvoraError(QStringLiteral("Cannot write %1").arg(path));
}

// The log file as the measurement window saves it.
void writeLogFile(const QString &path, int file, int lines = FileLines)
{
    QByteArray out = "@Quellmarkon KLG File\r\nTotal:" + QByteArray::number(lines) + "\r\n";
    out.reserve(qsizetype(lines) * 35);
    for (int i = 0; i < lines; ++i)
        out += QStringLiteral("2024-05-01,%1,%2,0.95,C\r\n")
                   .arg(timeAt(i))
                   .arg(QString::number(valueAt(file, i), 'f', 1), -6)
                   .toLatin1();
    writeFile(path, out);
}

// The same rows as LoadData holds them, as CSV.
void writeCsvFile(const QString &path)
{
    QByteArray out;
    out.reserve(FileLines * 40);
    for (int i = 0; i < FileLines; ++i)
        out += QStringLiteral("%1,2024-05-01,%2,0.95,%3,C\n")
                   .arg(i + 1)
                   .arg(timeAt(i))
                   .arg(QString::number(valueAt(0, i), 'f', 1))
                   .toLatin1();
    writeFile(path, out);
}

// Milliseconds the sqlite3 shell takes, from start to exit, to import the
// CSV into a fresh WAL database with a table of LoadData's columns.
double sqliteImportMs(const QString &shell, const QString &dir, const QString &csv, int run)
{
    const QString db = QDir(dir).filePath(QStringLiteral("import%1.db").arg(run));
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(shell,
                  {db, QStringLiteral("PRAGMA journal_mode=WAL;"),
                   QStringLiteral("CREATE TABLE LoadData (recno INTEGER, date TEXT, time TEXT, ems REAL, "
                                  "meavalue REAL, unit TEXT);"),
                   QStringLiteral(".mode csv"), QStringLiteral(".import %1 LoadData").arg(csv)});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        throw KelvoraError(
            QStringLiteral("sqlite3 failed: %1").arg(QString::fromLocal8Bit(process.readAllStandardError())));
    return timer.nsecsElapsed() / 1e6;
}

// Lets the window draw what changed: the chart's decimated copy and the grid.
void drawNow(TForm7 &window)
{
    window.Chart1->refresh();
    QCoreApplication::processEvents();
}

double median(std::vector<double> values)
{
    return Timing::of(std::move(values)).median;
}

// Resets the peak resident memory (VmHWM) to the current one, so that a
// later peak is that of what ran in between. False where the kernel cannot.
bool resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Loads one long file into a fresh window while a 1 ms timer notes each
// time the event loop gets its turn; prints the longest stretch between two
// turns (from the start to the first and from the last to the end
// included) and the peak memory of the load.
void benchLongLoad(BenchDialogs &dialogs, const QString &path)
{
    TForm7::emptyLoadData();
    TForm7 window;
    window.resize(1280, 900);
    window.show();
    QCoreApplication::processEvents();
    // After a reset the peak is the memory resident now.
    const bool peakReset = resetPeakMemory();
    const long residentBefore = peakMemoryKb();

    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
    });
    dialogs.files = {path};
    turns.start(1);
    clock.start();
    window.LoadData();
    const qint64 end = clock.nsecsElapsed();
    turns.stop();
    longestGap = std::max(longestGap, end - lastTurn);
    drawNow(window);

    std::printf("load of a %d-line log file through the window: %.0f ms, %d rows; longest stretch without "
                "processing events: %.0f ms\n",
                LongFileLines, end / 1e6, window.DBGridEh1->model()->rowCount(), longestGap / 1e6);
    if (peakReset)
        std::printf("  peak memory of that load: %.0f MB (resident before it: %.0f MB)\n",
                    peakMemoryKb() / 1024.0, residentBefore / 1024.0);
    else
        std::printf("  peak memory of the process up to the end of that load: %.0f MB\n",
                    peakMemoryKb() / 1024.0);
    TForm7::emptyLoadData();
}

} // namespace

int main(int argc, char **argv)
{
    drawWithoutDisplayUnlessAsked();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QDir here(dir.path());
    AppPaths::setExecutableDir(dir.path());
    QDir::setCurrent(dir.path());
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    try {
        writeFile(here.filePath(QString::fromLatin1(TForm6::ReportFileName)), "layout\n");
        writeFile(here.filePath(QStringLiteral("KELVORA.INI")), "[Kelvora OPTIONS]\nSEARIAL_PORT=\n");
        std::vector<QString> logs;
        for (int f = 0; f < Files; ++f) {
            logs.push_back(here.filePath(QStringLiteral("run%1.klg").arg(f)));
            writeLogFile(logs.back(), f);
        }
        const QString csv = here.filePath(QStringLiteral("run0.csv"));
        writeCsvFile(csv);
        const QString longLog = here.filePath(QStringLiteral("long.klg"));
        writeLogFile(longLog, 0, LongFileLines);

        const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        std::vector<double> imports;
        if (!shell.isEmpty())
            for (int run = 0; run < ImportRuns; ++run)
                imports.push_back(sqliteImportMs(shell, dir.path(), csv, run));

        TForm6 link;
        link.FormCreate();
        // No thermometer here: the link's poll would only report its port.
        link.Timer1.setEnabled(false);
        SystemVars.unitCelsius = true;
        benchLongLoad(dialogs, longLog);
        QFile::remove(longLog);

        TForm7 window;
        window.resize(1280, 900);
        window.show();
        QCoreApplication::processEvents();

        std::vector<double> loads;
        for (int f = 0; f < Files; ++f) {
            dialogs.files = {logs[std::size_t(f)]};
            QElapsedTimer timer;
            timer.start();
            window.LoadData();
            drawNow(window);
            loads.push_back(timer.nsecsElapsed() / 1e6);
        }
        const int rows = link.Table3.recordCount();

        std::printf(
            "load of a %d-line log file through the window (read, convert, store, grid, chart, drawn):\n"
            "  first file %.0f ms, median of %d files %.0f ms, slowest %.0f ms\n",
            FileLines, loads.front(), Files, median(loads), *std::max_element(loads.begin(), loads.end()));
        if (imports.empty())
            std::printf("sqlite3 shell not found: no import to compare with\n");
        else
            std::printf("sqlite3 shell .import of the same %d rows as CSV (median of %d runs, process start "
                        "included): %.0f ms\n  load / import: %.2f (first file), %.2f (median)\n",
                        FileLines, ImportRuns, median(imports), loads.front() / median(imports),
                        median(loads) / median(imports));

        for (bool celsius : {false, true}) {
            SystemVars.unitCelsius = celsius;
            QElapsedTimer timer;
            timer.start();
            sendWindowMessage(&window, WM_CHANGEUNIT);
            drawNow(window);
            std::printf("unit change of %d rows to %s, chart and grid drawn: %.0f ms (MIN %s, MAX %s)\n",
                        rows, celsius ? "C" : "F", timer.nsecsElapsed() / 1e6,
                        qPrintable(window.Edit2->text()), qPrintable(window.Edit3->text()));
        }

        QElapsedTimer zoom;
        zoom.start();
        window.Chart1->zoomPercent(120);
        drawNow(window);
        std::printf("zoom in on %d points in ten series, drawn: %.0f ms\n", rows, zoom.nsecsElapsed() / 1e6);

        std::printf("peak memory with %d files of %d lines loaded: %.0f MB\n", Files, FileLines,
                    peakMemoryKb() / 1024.0);
    } catch (const KelvoraError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    Dialogs::install(nullptr);
    AppPaths::setExecutableDir(QString());
    return 0;
}
