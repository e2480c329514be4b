#include "instancelock.h"

#include <QDir>
#include <QFileInfo>

QString applicationTitle(const QString &executablePath)
{
    const QString name = QFileInfo(executablePath).completeBaseName();
    return name.left(1).toUpper() + name.mid(1).toLower();
}

InstanceLock::InstanceLock(const QString &title)
    : m_fileName(QDir(QDir::tempPath()).filePath(title + QStringLiteral(".lock"))), m_lock(m_fileName)
{
    // The lock is held for the whole run, however long: only a dead owner
    // makes it stale.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    return m_lock.tryLock(100);
}
