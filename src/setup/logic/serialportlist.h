#pragma once

#include <QList>
#include <QString>

#include <optional>

// What the system knows of one serial port and the adapter behind it.
struct SerialPortDetails {
    QString portName;       // "ttyUSB0"
    QString systemLocation; // "/dev/ttyUSB0"
    QString description;
    QString manufacturer;
    QString serialNumber;
};

// One entry of the port list: the name to store and open, and the text shown.
struct SerialPortEntry {
    QString name;
    QString label;
    bool operator==(const SerialPortEntry &other) const { return name == other.name && label == other.label; }
};

// Where the ports come from: the enumerated ports and the folder of stable
// names that the system keeps for USB adapters.
struct SerialPortSource {
    QList<SerialPortDetails> ports;
    QString stableFolder;
};

namespace SerialPortList {

// The folder in which Linux gives each USB serial adapter a name made of its
// maker, model and serial number, whatever tty it got this time.
inline const QString StableFolder = QStringLiteral("/dev/serial/by-id");

// The stable names of stableFolder that lead to an existing device, sorted,
// each as a full path labelled with what is known of its adapter; then the
// plain names of the ports in the order given, duplicates kept.
QList<SerialPortEntry> entries(const SerialPortSource &source);

// The entries of this machine, or of the source set by setSource.
QList<SerialPortEntry> machineEntries();

// Makes machineEntries() list source instead of the machine's ports, so that
// tests of the window see ports on a machine without any; std::nullopt gives
// the machine's ports back.
void setSource(std::optional<SerialPortSource> source);

} // namespace SerialPortList
