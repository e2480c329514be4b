#include "common/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString overrideDir;

// The user's configuration folder for the program (XDG_CONFIG_HOME counts).
QString userConfigDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Kelvora"));
}
} // namespace

QString AppPaths::executableDir()
{
    return overrideDir.isEmpty() ? QCoreApplication::applicationDirPath() : overrideDir;
}

void AppPaths::setExecutableDir(const QString &dir)
{
    overrideDir = dir;
}

QString AppPaths::besideExecutable(const QString &fileName)
{
    return QDir(executableDir()).filePath(fileName);
}

QString AppPaths::ownFile(const QString &fileName)
{
    const QString exeDir = executableDir();
    // Installed under /usr the executable's folder belongs to the administrator.
    const QString dir = QFileInfo(exeDir).isWritable() ? exeDir : userConfigDir();
    QDir().mkpath(dir);
    return QDir(dir).filePath(fileName);
}
