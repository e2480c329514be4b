#include "cli/workspace.h"

#include "common/kelvoraerror.h"
#include "devicelink/delay.h"

namespace {

// How long the settings reply may take after the port has opened: the
// module's poll asks again every second, so a reply lost once still arrives.
constexpr int SettingsWaitMs = 2500;
constexpr int SettingsSliceMs = 50;

// The message for a port that could not be opened, naming the port.
QString portErrorText(const QString &port, const QString &error)
{
    return error.contains(port) ? error : QStringLiteral("Port %1 cannot be opened: %2").arg(port, error);
}

} // namespace

Workspace::Workspace()
{
    if (!m_dir.isValid())
        throw KelvoraError(
            QStringLiteral("Cannot create a temporary directory: %1").arg(m_dir.errorString()));
    Dialogs::install(&m_dialogs);
    SystemVars = TSystemVars{};
    SystemVars.unitCelsius = true;
    m_link = std::make_unique<TForm6>();
    try {
        m_link->Database1.open(m_dir.filePath(QString::fromLatin1(KelvoraDatabase::DefaultFileName)));
        for (MeasureTable *table : {&m_link->Table1, &m_link->Table2, &m_link->Table3})
            table->open();
    } catch (...) {
        Dialogs::install(nullptr);
        throw;
    }
}

Workspace::~Workspace()
{
    m_link->Timer1.setEnabled(false);
    m_link->Timer2.setEnabled(false);
    m_link->MSComm1.close();
    m_link.reset();
    Dialogs::install(nullptr);
}

QString Workspace::connect(const QString &port)
{
    TSystemVars &v = SystemVars;
    v.serialPort = port;
    try {
        m_link->OpenPort();
    } catch (const SerialPortError &e) {
        return portErrorText(port, e.text());
    }
    for (int waited = 0; waited < SettingsWaitMs && !v.settingsRead && v.portOpen; waited += SettingsSliceMs)
        delay(SettingsSliceMs);
    if (v.settingsRead)
        return QString();
    if (!v.portOpen)
        return QStringLiteral("Port %1 was closed: the thermometer went away").arg(port);
    return QStringLiteral("No thermometer answers on port %1: is it switched on and connected?").arg(port);
}
