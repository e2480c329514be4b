#include "setup/logic/serialportlist.h"

#include <QSerialPortInfo>

namespace {
std::optional<QStringList> givenNames;
} // namespace

QStringList serialPortNames()
{
    if (givenNames)
        return *givenNames;
    QStringList names;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts())
        names << port.portName();
    return names;
}

void setSerialPortNames(std::optional<QStringList> names)
{
    givenNames = std::move(names);
}
