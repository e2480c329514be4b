#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The two lines of the About window that describe the machine.
namespace AboutLines {

// "Memory Available to Windows: <n>KB" with the total physical memory in
// whole kilobytes.
QString memoryLine(quint64 totalPhysicalBytes);

// The operating system as the About window names it.
struct OsVersion {
    enum class Family { Unknown, WindowsNT, Windows9x, Linux };
    Family family = Family::Unknown;
    int majorVersion = 0;
    // Service-pack text on Windows, the distribution's name on Linux.
    QString detail;
};

// "<system> <major> ( <detail> )", for example "Linux 6 ( Debian GNU/Linux 12
// (bookworm) )"; the detail is cut to 128 characters. Nothing for an
// unknown family: the line keeps its text.
std::optional<QString> operatingSystemLine(const OsVersion &version);

// The machine this program runs on.
quint64 totalPhysicalMemory();
OsVersion currentOsVersion();

} // namespace AboutLines
