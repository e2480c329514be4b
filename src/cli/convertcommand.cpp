#include "cli/convertcommand.h"

#include "cli/cliarguments.h"
#include "cli/seriesfile.h"
#include "cli/workspace.h"
#include "store/logfileformat.h"
#include "store/logfilereader.h"
#include "store/loglinereader.h"

namespace {

// The unit of the file's first record line, by its last character as the
// reader takes it ("C" Celsius, anything else Fahrenheit); Celsius when the
// file holds no record line.
bool firstRecordCelsius(const QString &path)
{
    LogLineReader lines(path);
    for (int header = 0; header < 2 && !lines.atEnd(); ++header)
        lines.next();
    if (lines.atEnd())
        return true;
    return lines.next().endsWith(QLatin1Char('C'));
}

} // namespace

int runConvert(const QStringList &arguments)
{
    Cli::CommandLine line(QStringLiteral("convert"),
                          QStringLiteral("Converts a log file (.klg) into a log file, a CSV file or a "
                                         "spreadsheet (.xls), chosen by the extension of FILE."));
    line.addPositional(QStringLiteral("IN.klg"), QStringLiteral("The log file to read."));
    const QCommandLineOption output = Cli::outputOption();
    const QCommandLineOption unit(QStringLiteral("unit"),
                                  QStringLiteral("Temperature unit of the output: C or F (default: the unit "
                                                 "of the log file's records)."),
                                  QStringLiteral("C|F"));
    line.addOption(output);
    line.addOption(unit);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;

    if (!line.isSet(output))
        return line.usageError(QStringLiteral("no output file given (-o FILE)"));
    const QString in = line.positionalArguments().constFirst();
    const QString out = line.value(output);
    const std::optional<SeriesFile::Format> format = SeriesFile::formatOf(out);
    if (!format)
        return line.usageError(
            QStringLiteral("the output file must end in %1: %2").arg(SeriesFile::knownExtensions(), out));
    std::optional<bool> celsius;
    if (line.isSet(unit)) {
        celsius = Cli::parseUnit(line.value(unit));
        if (!celsius)
            return line.usageError(QStringLiteral("the unit must be C or F, not '%1'").arg(line.value(unit)));
    }

    Workspace workspace;
    TForm6 &link = workspace.link();
    const bool unitCelsius = celsius ? *celsius : firstRecordCelsius(in);
    const LogLoadResult loaded = loadLogFile(in, link.Database1, link.Table3, 1, unitCelsius);
    if (!loaded.accepted)
        return Cli::fail(QStringLiteral("%1 is no log file: its first line is not \"%2\"")
                             .arg(in, QLatin1String(LogFile::Header)));
    // The values as the reader made them: read from the file or converted
    // and rounded to one decimal.
    const SeriesFile::WriteResult written =
        SeriesFile::write(out, *format, link.Table3, LogValueText::Shortest);
    if (!written.complete())
        return Cli::fail(written.shortfall());
    return Cli::Success;
}
