#include "portaccess.h"

#include <QFileInfo>

QString portPermissionHint(const QString &device, const QString &group)
{
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
    // A group without a name is given by its number, which usermod takes too.
    const QString group = info.group();
    return portPermissionHint(device, group.isEmpty() ? QString::number(info.groupId()) : group);
}
