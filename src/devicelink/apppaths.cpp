#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString overrideDir;
}

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
