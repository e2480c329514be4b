#include "cli/application.h"
#include "cli/cliarguments.h"
#include "cli/convertcommand.h"
#include "cli/downloadcommand.h"
#include "cli/infocommand.h"
#include "cli/logcommand.h"
#include "cli/sheetcommand.h"
#include "common/kelvoraerror.h"

#include <QCoreApplication>

#include <array>

namespace {

struct Command {
    const char *name;
    const char *summary;
    int (*run)(const QStringList &arguments);
};

const std::array<Command, 5> Commands{{
    {"info", "print the thermometer's settings", runInfo},
    {"download", "download the thermometer's stored records to .klg, .csv, .xls or .xlsx", runDownload},
    {"log", "measure live and print each reading", runLog},
    {"convert", "convert a log file to .klg, .csv, .xls or .xlsx", runConvert},
    {"sheet", "print the data sheet of a log file to PDF", runSheet},
}};

QString programHelp()
{
    QString text = QStringLiteral("Usage: %1 COMMAND [options]\n\n"
                                  "The command-line companion of the Kelvora data logger.\n\nCommands:\n")
                       .arg(QLatin1String(Cli::ProgramName));
    for (const Command &command : Commands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromLatin1(command.name).leftJustified(10), QLatin1String(command.summary));
    text += QStringLiteral("\nRun '%1 COMMAND --help' for the options of a command.\n")
                .arg(QLatin1String(Cli::ProgramName));
    return text;
}

int programUsageError(const QString &text)
{
    Cli::printError(
        text +
        QStringLiteral("\nTry '%1 --help' for more information.").arg(QLatin1String(Cli::ProgramName)));
    return Cli::UsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = Cli::makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(Cli::ProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVORA_VERSION));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return programUsageError(QStringLiteral("no command given"));
    const QString &name = arguments.constFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        Cli::printOut(programHelp());
        return Cli::Success;
    }
    if (name == QLatin1String("--version")) {
        Cli::printOut(QStringLiteral("%1 %2\n").arg(QLatin1String(Cli::ProgramName),
                                                    QCoreApplication::applicationVersion()));
        return Cli::Success;
    }
    for (const Command &command : Commands) {
        if (name != QLatin1String(command.name))
            continue;
        // Failures that a command does not handle itself end it with their text.
        try {
            return command.run(arguments.mid(1));
        } catch (const KelvoraError &e) {
            return Cli::fail(e.text());
        } catch (const std::exception &e) {
            return Cli::fail(QString::fromLocal8Bit(e.what()));
        }
    }
    return programUsageError(QStringLiteral("unknown command '%1'").arg(name));
}
