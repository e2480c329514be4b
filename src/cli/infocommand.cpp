#include "cli/infocommand.h"

#include "cli/cliarguments.h"
#include "cli/workspace.h"
#include "setup/logic/thermometerpage.h"

int runInfo(const QStringList &arguments)
{
    Cli::CommandLine line(QStringLiteral("info"),
                          QStringLiteral("Asks the thermometer for its settings and prints its model digit, "
                                         "work mode, alarms and emissivity."));
    const QCommandLineOption port = Cli::portOption();
    line.addOption(port);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    if (!line.isSet(port))
        return line.usageError(QStringLiteral("no serial port given (--port P)"));

    Workspace workspace;
    const QString failure = workspace.connect(line.value(port));
    if (!failure.isEmpty())
        return Cli::fail(failure);

    // As the setup window's thermometer page shows them: the work mode by
    // name and the emissivity brought into their ranges, the alarms in
    // degrees as the thermometer reported them.
    const TSystemVars &v = SystemVars;
    Cli::printOut(QStringLiteral("Model: %1\nWork mode: %2\nHigh alarm: %3\nLow alarm: %4\nEmissivity: %5\n")
                      .arg(QString::number(v.machineMode),
                           ThermometerPage::workModes().at(ThermometerPage::clampedWorkMode(v.measureMode)),
                           ThermometerPage::alarmText(v.halValue), ThermometerPage::alarmText(v.lalValue),
                           ThermometerPage::emissivityText(ThermometerPage::clampedEmissivity(v.emsValue))));
    return Cli::Success;
}
