#include "portaccess.h"

#include <QFileInfo>

QString portPermissionHint(const QString &device, const QString &owner, const QString &group,
                           bool groupMayUse)
{
    if (!groupMayUse)
        return QStringLiteral("Permission denied: only the user '%1' may read and write %2; "
                              "ask the administrator for access.")
            .arg(owner, device);
    return QStringLiteral("Permission denied: add your user to the group '%1' that owns %2 "
                          "(sudo usermod -aG %1 $USER) and log in again.")
        .arg(group, device);
}

QString portAccessHint(const QString &device)
{
    // Permissions of the device itself, not of a symlink to it, as this
    // process holds them.
    const QFileInfo info(device);
    if (!info.exists() || (info.isReadable() && info.isWritable()))
        return QString();
    // An owner or group without a name is given by its number, which usermod
    // takes as well.
    const QString owner = info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner();
    const QString group = info.group().isEmpty() ? QString::number(info.groupId()) : info.group();
    const QFile::Permissions groupUse = QFile::ReadGroup | QFile::WriteGroup;
    return portPermissionHint(device, owner, group, (info.permissions() & groupUse) == groupUse);
}
