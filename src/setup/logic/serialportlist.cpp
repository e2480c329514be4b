#include "setup/logic/serialportlist.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace {

std::optional<SerialPortSource> givenSource;

QString labelFor(const QString &name, const SerialPortDetails *port)
{
    if (!port)
        return name;
    QStringList known;
    for (const QString &part : {port->description, port->manufacturer})
        if (!part.isEmpty())
            known << part;
    if (!port->serialNumber.isEmpty())
        known << QStringLiteral("serial %1").arg(port->serialNumber);
    return known.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, known.join(QStringLiteral(", ")));
}

SerialPortSource machineSource()
{
    SerialPortSource source{{}, SerialPortList::StableFolder};
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        source.ports << SerialPortDetails{info.portName(), info.systemLocation(), info.description(),
                                          info.manufacturer(), info.serialNumber()};
    return source;
}

} // namespace

QList<SerialPortEntry> SerialPortList::entries(const SerialPortSource &source)
{
    QList<SerialPortEntry> out;
    const QDir folder(source.stableFolder);
    const QFileInfoList links =
        source.stableFolder.isEmpty()
            ? QFileInfoList()
            : folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        // A name left behind by an adapter that is gone leads nowhere.
        const QString device = link.canonicalFilePath();
        if (device.isEmpty() || QFileInfo(device).isDir())
            continue;
        const SerialPortDetails *port = nullptr;
        for (const SerialPortDetails &candidate : source.ports)
            if (QFileInfo(candidate.systemLocation).canonicalFilePath() == device)
                port = &candidate;
        // The link itself is the name: the tty behind it changes from plug to plug.
        const QString name = link.absoluteFilePath();
        out << SerialPortEntry{name, labelFor(name, port)};
    }
    for (const SerialPortDetails &port : source.ports)
        out << SerialPortEntry{port.portName, port.portName};
    return out;
}

QList<SerialPortEntry> SerialPortList::machineEntries()
{
    return entries(givenSource ? *givenSource : machineSource());
}

void SerialPortList::setSource(std::optional<SerialPortSource> source)
{
    givenSource = std::move(source);
}
