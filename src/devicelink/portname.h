#pragma once

#include <QString>

// Turns the configured port name into the name of a device to open.
// On Linux "/dev/ttyUSB0" is used as it is, "ttyUSB0" means "/dev/ttyUSB0",
// and "COMn" (n from 1) means "/dev/ttyS(n-1)", so settings files written
// on Windows keep working. On Windows "COMn" stays as it is. Returns an
// empty string for a name that addresses no port ("", "COM0").
QString resolvePortName(const QString &configured);
