#include "common/savesuggestion.h"

#include <QDir>
#include <QFileInfo>

namespace SaveSuggestion {

namespace {

QString &lastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString fileName(const QString &subject, const QDateTime &at, const QString &extension)
{
    return subject + QLatin1Char(' ') + at.toString(QStringLiteral("yyyy-MM-dd hhmm")) + extension;
}

QString inLastFolder(const QString &name)
{
    return lastFolder().isEmpty() || name.isEmpty() ? name : QDir(lastFolder()).filePath(name);
}

void remember(const QString &chosenPath)
{
    if (!chosenPath.isEmpty())
        lastFolder() = QFileInfo(chosenPath).absolutePath();
}

} // namespace SaveSuggestion
