#pragma once

#include <QStringList>

#include <optional>

// The names of the machine's serial ports as the system enumerates them,
// unsorted and with duplicates kept ("ttyS0", "ttyUSB0"; "COM1" on Windows).
// Pseudo-terminals and symlinks to ports are not among them.
QStringList serialPortNames();

// Makes serialPortNames() return names instead of the machine's ports, so
// that tests of the windows that list them see ports on a machine without
// any; std::nullopt gives the machine's ports back.
void setSerialPortNames(std::optional<QStringList> names);
