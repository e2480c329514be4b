#include "aboutlines.h"

#include <QSysInfo>

#ifdef Q_OS_LINUX
#include <sys/sysinfo.h>
#endif

namespace AboutLines {

QString memoryLine(quint64 totalPhysicalBytes)
{
    return QStringLiteral("Memory Available to Windows: %1KB").arg(totalPhysicalBytes >> 10);
}

std::optional<QString> operatingSystemLine(const OsVersion &version)
{
    QString system;
    switch (version.family) {
    case OsVersion::Family::WindowsNT: system = QStringLiteral("Windows NT "); break;
    case OsVersion::Family::Windows9x: system = QStringLiteral("Windows 95/98 "); break;
    case OsVersion::Family::Linux: system = QStringLiteral("Linux "); break;
    case OsVersion::Family::Unknown: return std::nullopt;
    }
    return system + QString::number(version.majorVersion) + QStringLiteral(" ( ") + version.detail.left(128) +
           QStringLiteral(" )");
}

quint64 totalPhysicalMemory()
{
#ifdef Q_OS_LINUX
    struct sysinfo info {};
    if (sysinfo(&info) == 0)
        return quint64(info.totalram) * info.mem_unit;
#endif
    return 0;
}

OsVersion currentOsVersion()
{
    OsVersion version;
    const QString kernel = QSysInfo::kernelType();
    if (kernel == QLatin1String("linux"))
        version.family = OsVersion::Family::Linux;
    else if (kernel == QLatin1String("winnt"))
        version.family = OsVersion::Family::WindowsNT;
    else
        return version;
    // "6.1.0-28-amd64": the number before the first dot.
    bool ok = false;
    version.majorVersion = QSysInfo::kernelVersion().section(QLatin1Char('.'), 0, 0).toInt(&ok);
    if (!ok)
        return OsVersion{};
    if (version.family == OsVersion::Family::Linux)
        version.detail = QSysInfo::prettyProductName();
    return version;
}

} // namespace AboutLines
