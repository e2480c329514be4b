#pragma once

#include <QStringList>

// The names of the machine's serial ports as the system enumerates them,
// unsorted and with duplicates kept ("ttyS0", "ttyUSB0"; "COM1" on Windows).
// Pseudo-terminals and symlinks to ports are not among them.
QStringList serialPortNames();
