// Time from launch to the main window shown: the program against a bare Qt
// MDI window with menus, a tool bar and a status bar (startup_bare_window),
// each started as a process of its own on the display in DISPLAY (an X
// server such as Xvfb: the window must really be mapped and exposed, which
// the offscreen platform skips). Both print the moment their first frame is
// on screen through the same probe and then close their window.
//
// One start of each warms the file cache first and is not counted; then 9
// pairs run, the order within a pair alternating. Prints each pair, the
// medians and their ratio, and the fastest of each and theirs.
#include "shell/startupprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Pairs = 9;
constexpr int LaunchTimeoutMs = 60000;

long long monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Seconds from launch to the first frame on screen; negative on failure.
double launchToShown(const QString &program, const QProcessEnvironment &env, const QString &workDir)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const long long launched = monotonicNs();
    process.start(program, {});
    if (!process.waitForFinished(LaunchTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        std::fprintf(stderr, "%s did not end within %d s\n", qPrintable(program), LaunchTimeoutMs / 1000);
        return -1;
    }
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("shown "))
            return (line.mid(6).toLongLong() - launched) / 1e9;
    }
    std::fprintf(stderr, "%s printed no start-up moment (exit code %d):\n%s\n", qPrintable(program),
                 process.exitCode(), process.readAllStandardError().constData());
    return -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program with the files it looks for beside it, in a folder of its own,
// so that the settings file it writes at the end stays out of the build.
bool copyProgram(const QString &from, const QString &to)
{
    for (const char *name : {"kelvora", "kelvora_soundoutput.so", "Kelvora_en.rav", "readme_en.chm",
                             "highalarm.wav", "lowalarm.wav"}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file))) {
            std::fprintf(stderr, "cannot copy %s from %s\n", name, qPrintable(from));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_startup needs an X display: run it as 'xvfb-run -a %s'\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (const char *sub : {"program", "work", "config", "runtime", "tmp"})
        root.mkdir(QString::fromLatin1(sub));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString binDir = QCoreApplication::applicationDirPath();
    if (!copyProgram(binDir, root.filePath(QStringLiteral("program"))))
        return 1;
    const QString program = root.filePath(QStringLiteral("program/kelvora"));
    const QString bare = QDir(binDir).filePath(QStringLiteral("startup_bare_window"));
    const QString work = root.filePath(QStringLiteral("work"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(StartupProbe::Variable), QStringLiteral("1"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("ODBCINI"), root.filePath(QStringLiteral("odbc.ini")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")));
    // The single-instance lock lies in the temporary folder: one of its own
    // keeps another instance on the machine from refusing these starts.
    env.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));

    std::printf("launch to main window shown on display %s, %d pairs after one start each to warm up\n",
                qPrintable(env.value(QStringLiteral("DISPLAY"))), Pairs);
    if (launchToShown(bare, env, work) < 0 || launchToShown(program, env, work) < 0)
        return 1;

    std::vector<double> bareTimes;
    std::vector<double> programTimes;
    for (int pair = 0; pair < Pairs; ++pair) {
        double b = 0;
        double p = 0;
        if (pair % 2 == 0) {
            b = launchToShown(bare, env, work);
            p = launchToShown(program, env, work);
        } else {
            p = launchToShown(program, env, work);
            b = launchToShown(bare, env, work);
        }
        if (b < 0 || p < 0)
            return 1;
        bareTimes.push_back(b);
        programTimes.push_back(p);
        std::printf("pair %d: bare window %.3f s, program %.3f s (%.2fx)\n", pair + 1, b, p, p / b);
    }
    const double bareMedian = median(bareTimes);
    const double programMedian = median(programTimes);
    std::printf("median: bare window %.3f s, program %.3f s, ratio %.2fx\n", bareMedian, programMedian,
                programMedian / bareMedian);
    // On a busy machine the fastest start tells best what each costs alone.
    const double bareFastest = *std::min_element(bareTimes.begin(), bareTimes.end());
    const double programFastest = *std::min_element(programTimes.begin(), programTimes.end());
    std::printf("fastest: bare window %.3f s, program %.3f s, ratio %.2fx\n", bareFastest, programFastest,
                programFastest / bareFastest);
    return 0;
}
