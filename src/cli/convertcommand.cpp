#include "cli/convertcommand.h"

#include "cli/cliarguments.h"
#include "cli/logload.h"
#include "cli/seriesfile.h"
#include "cli/workspace.h"

int runConvert(const QStringList &arguments)
{
    Cli::CommandLine line(QStringLiteral("convert"),
                          QStringLiteral("Converts a log file (.klg) into a log file, a CSV file or a "
                                         "spreadsheet (.xls or .xlsx), chosen by the extension of FILE."));
    line.addPositional(QStringLiteral("IN.klg"), QStringLiteral("The log file to read."));
    const QCommandLineOption output = Cli::outputOption();
    const QCommandLineOption unit = Cli::unitOption(QStringLiteral(
        "Temperature unit of the output: C or F (default: the unit of the log file's records)."));
    line.addOption(output);
    line.addOption(unit);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;

    QString out;
    SeriesFile::Format format = SeriesFile::Format::Log;
    if (const std::optional<int> wrong = line.readOutput(output, out))
        return *wrong;
    if (const std::optional<int> wrong = line.readSeriesFormat(out, format))
        return *wrong;
    const QString in = line.positionalArguments().constFirst();
    std::optional<bool> celsius;
    if (const std::optional<int> wrong = line.readUnit(unit, celsius))
        return *wrong;

    Workspace workspace;
    TForm6 &link = workspace.link();
    LogLoad::intoLoadData(in, link, celsius ? *celsius : LogLoad::firstRecordCelsius(in));
    // The values as the reader made them: read from the file or converted
    // and rounded to one decimal.
    const SeriesFile::WriteResult written =
        SeriesFile::write(out, format, link.Table3, LogValueText::Shortest);
    if (!written.complete())
        return Cli::fail(written.shortfall());
    return Cli::Success;
}
