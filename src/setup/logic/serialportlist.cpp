#include "setup/logic/serialportlist.h"

#include <QSerialPortInfo>

QStringList serialPortNames()
{
    QStringList names;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts())
        names << port.portName();
    return names;
}
