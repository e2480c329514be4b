#include "cli/logcommand.h"

#include "cli/cliarguments.h"
#include "cli/livelog.h"
#include "cli/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>

namespace {

// The sample-rate box holds four digits.
constexpr int MaxRate = 9999;

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
    const QCommandLineOption unit =
        Cli::unitOption(QStringLiteral("Temperature unit of the readings: C or F (default C)."));
    const QCommandLineOption saveEvery(QStringLiteral("save-every"),
                                       QStringLiteral("How often a .klg FILE is rewritten during the run, in "
                                                      "the form of --duration (default 1m)."),
                                       QStringLiteral("T"));
    for (const QCommandLineOption &option : {port, rate, duration, output, unit, saveEvery})
        line.addOption(option);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;

    LiveLog::Options options;
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
    if (saveEveryMs)
        options.saveEveryMs = *saveEveryMs;
    std::optional<bool> celsius;
    if (const std::optional<int> wrong = line.readUnit(unit, celsius))
        return *wrong;
    if (celsius)
        options.celsius = *celsius;
    if (line.isSet(output)) {
        options.file = line.value(output);
        if (const std::optional<int> wrong = line.readSeriesFormat(options.file, options.format))
            return *wrong;
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
