#include "cli/sheetcommand.h"

#include "cli/cliarguments.h"
#include "cli/logload.h"
#include "cli/workspace.h"
#include "common/apppaths.h"
#include "common/kelvoraerror.h"
#include "devicelink/settingsfile.h"
#include "output/reportengine.h"
#include "store/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

// The company name that the program prints in the sheet's header, from its
// settings file, which is only read.
QString companyName(const TForm6 &link)
{
    TSystemVars settings;
    SettingsFile::load(link.settingsFilePath(), settings);
    return settings.companyName;
}

// Prints the project's report into a PDF, which replaces the file at path
// only when complete: a failed print leaves no PDF (and an old one as it was).
void printPdf(const TRvProject &project, const QString &path, const QString &title)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw KelvoraError(
            QStringLiteral("Cannot create a temporary directory: %1").arg(scratch.errorString()));
    const QString printed = scratch.filePath(QStringLiteral("sheet.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setDocName(title);
        project.Print(printer);
    }
    QFile file(printed);
    const QByteArray pdf = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (pdf.isEmpty())
        throw KelvoraError(QStringLiteral("The data sheet could not be printed to %1").arg(path));
    writeWholeFile(path, pdf);
}

} // namespace

int runSheet(const QStringList &arguments)
{
    Cli::CommandLine line(
        QStringLiteral("sheet"),
        QStringLiteral("Prints the data sheet of a log file (.klg) into a PDF file through\n"
                       "the report layout \"%1\" beside the program, as the program\n"
                       "prints it.")
            .arg(QLatin1String(TForm6::ReportFileName)));
    line.addPositional(QStringLiteral("IN.klg"), QStringLiteral("The log file to read."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PDF file to write."), QStringLiteral("OUT.pdf"));
    const QCommandLineOption unit = Cli::unitOption(QStringLiteral(
        "Temperature unit of the sheet: C or F (default: the unit of the log file's records)."));
    line.addOption(output);
    line.addOption(unit);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;

    QString out;
    if (const std::optional<int> wrong = line.readOutput(output, out))
        return *wrong;
    const QString in = line.positionalArguments().constFirst();
    if (QFileInfo(out).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return line.usageError(QStringLiteral("the output file must end in .pdf: %1").arg(out));
    std::optional<bool> celsius;
    if (const std::optional<int> wrong = line.readUnit(unit, celsius))
        return *wrong;

    Workspace workspace;
    TForm6 &link = workspace.link();
    LogLoad::intoLoadData(in, link, celsius ? *celsius : LogLoad::firstRecordCelsius(in));
    if (link.Table3.isEmpty())
        return Cli::fail(QStringLiteral("%1 holds no readings: there is no data sheet to print").arg(in));

    SystemVars.companyName = companyName(link);
    TRvDataSetConnection connection;
    connection.setDataSet(&link.Table3);
    TRvProject project;
    project.setConnection(&connection);
    // The layout is read as the program reads it for every print.
    project.setProjectFile(AppPaths::besideExecutable(QString::fromLatin1(TForm6::ReportFileName)));
    project.Open();
    printPdf(project, out, QFileInfo(in).fileName());
    return Cli::Success;
}
