#include "cli/downloadcommand.h"

#include "cli/cliarguments.h"
#include "cli/seriesfile.h"
#include "cli/workspace.h"
#include "import/logic/recorddownload.h"
#include "import/logic/recordimport.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

// "Waiting for the thermometer's records... 3 s" on stderr, once a second:
// rewritten in place on a terminal, a line each otherwise.
class ProgressLine {
public:
    ProgressLine() : m_terminal(::isatty(::fileno(stderr)) != 0) {}

    void show(const RecordDownload::Progress &progress)
    {
        QTextStream err(stderr);
        if (progress.finished) {
            if (m_terminal && m_shown)
                err << '\n';
            return;
        }
        const int seconds = progress.round * RecordDownload::RoundMs / 1000;
        if (m_shown && seconds == m_seconds)
            return;
        m_shown = true;
        m_seconds = seconds;
        err << (m_terminal ? "\r" : "") << "Waiting for the thermometer's records... " << seconds << " s"
            << (m_terminal ? "" : "\n");
    }

private:
    bool m_terminal;
    bool m_shown = false;
    int m_seconds = 0;
};

} // namespace

int runDownload(const QStringList &arguments)
{
    Cli::CommandLine line(
        QStringLiteral("download"),
        QStringLiteral("Downloads the records stored in the thermometer's memory and writes "
                       "them to FILE: a log file (.klg), a CSV file (.csv) or a spreadsheet "
                       "(.xls or .xlsx), chosen by its extension."));
    const QCommandLineOption port = Cli::portOption();
    const QCommandLineOption output = Cli::outputOption();
    const QCommandLineOption unit = Cli::unitOption(
        QStringLiteral("Temperature unit of the records: C or F (default: C)."), QStringLiteral("C"));
    line.addOption(port);
    line.addOption(output);
    line.addOption(unit);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    if (!line.isSet(port))
        return line.usageError(QStringLiteral("no serial port given (--port P)"));
    QString out;
    SeriesFile::Format format = SeriesFile::Format::Log;
    if (const std::optional<int> wrong = line.readOutput(output, out))
        return *wrong;
    if (const std::optional<int> wrong = line.readSeriesFormat(out, format))
        return *wrong;
    std::optional<bool> celsius;
    if (const std::optional<int> wrong = line.readUnit(unit, celsius))
        return *wrong;

    Workspace workspace;
    TForm6 &link = workspace.link();
    TSystemVars &v = SystemVars;
    v.unitCelsius = *celsius;
    // Connected first, with the command line's longer wait for the settings
    // and its own words for a port that fails: the download then finds the
    // thermometer's settings read, as after the program's poll.
    const QString failure = workspace.connect(line.value(port));
    if (!failure.isEmpty())
        return Cli::fail(failure);

    DownloadHold hold;
    RecordDownload download(link);
    ProgressLine progressLine;
    download.setProgress([&progressLine](const RecordDownload::Progress &p) { progressLine.show(p); });
    const RecordDownload::Result result = download.run();
    switch (result.outcome) {
    case RecordDownload::Outcome::NotConnected:
        return Cli::fail(QStringLiteral("No thermometer answers on port %1: is it switched on and connected?")
                             .arg(v.serialPort));
    case RecordDownload::Outcome::Abandoned:
        return Cli::fail(QStringLiteral("The download was interrupted."));
    case RecordDownload::Outcome::NoRecords:
        return Cli::fail(QStringLiteral("The thermometer sent no records: its memory is empty, or the "
                                        "connection broke."));
    case RecordDownload::Outcome::Received: break;
    }

    // The rows the import window makes of the same records, so that the
    // files are the ones it writes.
    const ImportedRecords records =
        RecordImport::fromDownload(v.logValues.data(), v.logEms.data(), v.logCount, *celsius);
    hold.release();
    SeriesFile::write(out, format, RecordImport::tableRows(records, *celsius), link.Database1, link.Table2,
                      LogValueText::Shortest);
    if (result.portLost)
        return Cli::fail(RecordImport::connectionBrokeText(records.count()) +
                         QStringLiteral(" They were written to %1; the thermometer may hold more.").arg(out));
    Cli::printError(QStringLiteral("%1 records written to %2").arg(records.count()).arg(out));
    return Cli::Success;
}
