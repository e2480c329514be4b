#include "cli/logcommand.h"

#include "cli/cliarguments.h"
#include "cli/seriesfile.h"
#include "cli/workspace.h"
#include "devicelink/delay.h"
#include "devicelink/kelvoraerror.h"
#include "measure/logic/liverun.h"
#include "measure/logic/readingtext.h"
#include "shell/signalwatcher.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>

namespace {

// The measurement window's poll timer.
constexpr int PollIntervalMs = 1000;
// The sample-rate box holds four digits.
constexpr int MaxRate = 9999;
constexpr qint64 DefaultSaveEveryMs = 60 * 1000;
// Long waits are armed in steps that a timer can hold.
constexpr qint64 LongestTimerStepMs = 3600 * 1000;
// Time for the last command to leave the port before it closes.
constexpr int LastCommandMs = 200;

// "90", "90s", "5m" or "2h" in milliseconds; std::nullopt for anything else
// and for no time at all.
std::optional<qint64> parseDuration(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})\\s*([smh]?)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const qint64 count = m.captured(1).toLongLong();
    const QString unit = m.captured(2).toLower();
    const qint64 seconds = unit == QLatin1String("h")   ? count * 3600
                           : unit == QLatin1String("m") ? count * 60
                                                        : count;
    if (seconds <= 0)
        return std::nullopt;
    return seconds * 1000;
}

struct LogOptions {
    QString port;
    int rate = 0;
    bool celsius = true;
    std::optional<qint64> durationMs;
    QString file; // empty: no file
    SeriesFile::Format format = SeriesFile::Format::Log;
    qint64 saveEveryMs = DefaultSaveEveryMs;
};

// One live run on the command line. It takes the readings as the measurement
// window does: it is the window that the device link hands each parsed
// reading to, its poll sends "ATA" and "ATR" by the same rules, and each
// reading becomes the same row, appended to MeaData of the workspace.
class LiveLog : public QObject {
public:
    LiveLog(TForm6 &link, const LogOptions &options) : m_link(link), m_options(options)
    {
        m_poll.setInterval(PollIntervalMs);
        connect(&m_poll, &ComponentTimer::timeout, this, [this] { m_run.tick(); });
        m_endTimer.setSingleShot(true);
        m_endTimer.setTimerType(Qt::PreciseTimer);
        connect(&m_endTimer, &QTimer::timeout, this, [this] { armEnd(); });
        connect(&m_saveTimer, &QTimer::timeout, this, [this] { saveDuringRun(); });
        connect(&m_signals, &SignalWatcher::terminationRequested, this, [this] { end(); });
        connect(&m_link.MSComm1, &SerialControl::portLost, this, [this] { notePortLost(); });
    }

    // Runs until the duration is over, a signal arrives or a reading cannot
    // be stored; then writes the file. Returns the exit code.
    int exec()
    {
        SystemVars.measureWindow = this;
        m_run.claim(m_options.rate);
        m_run.begin();
        m_poll.setEnabled(true);
        if (m_options.durationMs) {
            m_deadline = QDeadlineTimer(*m_options.durationMs, Qt::PreciseTimer);
            armEnd();
        }
        if (!m_options.file.isEmpty() && m_options.format == SeriesFile::Format::Log)
            m_saveTimer.start(int(std::min(m_options.saveEveryMs, LongestTimerStepMs)));

        m_loop.exec();

        m_poll.setEnabled(false);
        m_saveTimer.stop();
        m_endTimer.stop();
        m_run.stop();
        // A reading already on its way is still taken, as the window does
        // after Stop, while "ATU" leaves the port.
        delay(LastCommandMs);
        SystemVars.measureWindow = nullptr;
        if (!m_error.isEmpty()) {
            Cli::printError(m_error);
            saveFile();
            return Cli::Failure;
        }
        return saveFile() ? Cli::Success : Cli::Failure;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != WM_NEWREADING)
            return QObject::event(event);
        try {
            takeReading();
        } catch (const KelvoraError &e) {
            end(QStringLiteral("The reading could not be stored: %1").arg(e.text()));
        }
        return true;
    }

private:
    MeasureTable &meaData() { return m_link.Table1; }

    void takeReading()
    {
        const TSystemVars &v = SystemVars;
        if (m_portLost) {
            m_portLost = false;
            note(QStringLiteral("the thermometer on %1 is back").arg(m_options.port));
        }
        // One reading of the clock for the printed time and the row's.
        const QDateTime moment = QDateTime::currentDateTime();
        MeasureTable &table = meaData();
        const LiveReading reading = liveReading(v.lastValue, v.lastEms, m_options.celsius,
                                                table.recordCount() + 1, recordStamp(moment));
        table.append(reading.record);
        Cli::printOut(QStringLiteral("%1,%2,%3,%4\n")
                          .arg(moment.toString(Qt::ISODate), reading.value, reading.record.unit,
                               ReadingText::emissivityText(v.lastEms)));
        // Nobody reads the readings any more (a closed pipe): the run ends as
        // it would on Ctrl-C, and the file keeps them.
        if (std::ferror(stdout))
            end();
    }

    void notePortLost()
    {
        m_portLost = true;
        note(QStringLiteral("the thermometer on %1 went away; the run goes on when it is back")
                 .arg(m_options.port));
    }

    void note(const QString &text) { Cli::printError(QStringLiteral("log: ") + text); }

    // The deadline is armed in steps a timer can hold.
    void armEnd()
    {
        const qint64 left = m_deadline.remainingTime();
        if (left == 0) {
            end();
            return;
        }
        m_endTimer.start(int(std::min(left, LongestTimerStepMs)));
    }

    void end(const QString &error = QString())
    {
        if (m_error.isEmpty())
            m_error = error;
        m_loop.quit();
    }

    // The file as it stands, so that a power cut loses at most one interval;
    // a failure is told and the run goes on (the next try may succeed).
    void saveDuringRun()
    {
        if (meaData().recordCount() == m_savedRows)
            return;
        try {
            write();
        } catch (const KelvoraError &e) {
            note(e.text());
        }
    }

    bool saveFile()
    {
        if (m_options.file.isEmpty())
            return true;
        try {
            const SeriesFile::WriteResult written = write();
            if (written.complete())
                return true;
            Cli::printError(written.shortfall());
        } catch (const KelvoraError &e) {
            Cli::printError(e.text());
        }
        return false;
    }

    SeriesFile::WriteResult write()
    {
        // One decimal, as the measurement window saves its readings.
        const SeriesFile::WriteResult written =
            SeriesFile::write(m_options.file, m_options.format, meaData(), LogValueText::OneDecimal);
        m_savedRows = meaData().recordCount();
        return written;
    }

    TForm6 &m_link;
    const LogOptions m_options;
    LiveRun m_run;
    ComponentTimer m_poll;
    QTimer m_endTimer;
    QDeadlineTimer m_deadline;
    QTimer m_saveTimer;
    QEventLoop m_loop;
    SignalWatcher m_signals;
    int m_savedRows = -1;
    bool m_portLost = false;
    QString m_error;
};

} // namespace

int runLog(const QStringList &arguments)
{
    Cli::CommandLine line(
        QStringLiteral("log"),
        QStringLiteral("Measures live, as the real-time measurement window does: asks the thermometer\n"
                       "for a reading every N seconds and prints each reading on stdout as it arrives,\n"
                       "one line TIMESTAMP,VALUE,UNIT,EMISSIVITY, for example\n"
                       "  2026-12-11T03:04:05,25.3,C,0.95\n"
                       "(local time in ISO 8601, the value with one decimal). Ctrl-C, SIGTERM or the\n"
                       "duration end the run. FILE, if given, is written at the end; a .klg file is\n"
                       "also rewritten during the run, every minute unless --save-every says otherwise."));
    const QCommandLineOption port = Cli::portOption();
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  QStringLiteral("Seconds between two readings (1 to 9999)."),
                                  QStringLiteral("N"));
    const QCommandLineOption duration(QStringLiteral("duration"),
                                      QStringLiteral("End the run after T: seconds, or a number followed by "
                                                     "s, m or h (90, 90s, 5m, 2h). Default: until Ctrl-C."),
                                      QStringLiteral("T"));
    const QCommandLineOption output = Cli::outputOption();
    const QCommandLineOption unit(QStringLiteral("unit"),
                                  QStringLiteral("Temperature unit of the readings: C or F (default C)."),
                                  QStringLiteral("C|F"));
    const QCommandLineOption saveEvery(QStringLiteral("save-every"),
                                       QStringLiteral("How often a .klg FILE is rewritten during the run, in "
                                                      "the form of --duration (default 1m)."),
                                       QStringLiteral("T"));
    for (const QCommandLineOption &option : {port, rate, duration, output, unit, saveEvery})
        line.addOption(option);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;

    LogOptions options;
    if (!line.isSet(port))
        return line.usageError(QStringLiteral("no port given (--port P)"));
    options.port = line.value(port);
    if (!line.isSet(rate))
        return line.usageError(QStringLiteral("no rate given (--rate N)"));
    bool rateOk = false;
    options.rate = line.value(rate).toInt(&rateOk);
    if (!rateOk || options.rate < 1 || options.rate > MaxRate)
        return line.usageError(
            QStringLiteral("the rate must be a whole number of seconds from 1 to %1, not '%2'")
                .arg(MaxRate)
                .arg(line.value(rate)));
    std::optional<qint64> saveEveryMs;
    for (const auto &[option, target] :
         {std::pair{&duration, &options.durationMs}, std::pair{&saveEvery, &saveEveryMs}}) {
        if (!line.isSet(*option))
            continue;
        *target = parseDuration(line.value(*option));
        if (!*target)
            return line.usageError(QStringLiteral("not a duration: '%1'").arg(line.value(*option)));
    }
    options.saveEveryMs = saveEveryMs.value_or(DefaultSaveEveryMs);
    if (line.isSet(unit)) {
        const std::optional<bool> celsius = Cli::parseUnit(line.value(unit));
        if (!celsius)
            return line.usageError(QStringLiteral("the unit must be C or F, not '%1'").arg(line.value(unit)));
        options.celsius = *celsius;
    }
    if (line.isSet(output)) {
        options.file = line.value(output);
        const std::optional<SeriesFile::Format> format = SeriesFile::formatOf(options.file);
        if (!format)
            return line.usageError(QStringLiteral("the output file must end in %1: %2")
                                       .arg(SeriesFile::knownExtensions(), options.file));
        options.format = *format;
        // Found out now rather than after hours of readings.
        const QFileInfo folder(QFileInfo(options.file).absolutePath());
        if (!folder.isDir() || !folder.isWritable())
            return Cli::fail(QStringLiteral("Cannot write %1: the folder %2 is missing or not writable")
                                 .arg(options.file, QDir::toNativeSeparators(folder.filePath())));
    }

    Workspace workspace;
    const QString failure = workspace.connect(options.port);
    if (!failure.isEmpty())
        return Cli::fail(failure);
    // From here on the poll reopens a port that was lost, as in the program.
    workspace.link().useGivenSettings();
    // A closed pipe on stdout is seen as a write error, not as a signal that
    // would end the run before the file is written.
    std::signal(SIGPIPE, SIG_IGN);
    LiveLog log(workspace.link(), options);
    return log.exec();
}
