#include "store/fileerror.h"

#include "common/kelvoraerror.h"

#include <QDir>
#include <QFileDevice>

void throwFileError(const QString &what, const QFileDevice &file)
{
    throwFileError(what, file.fileName(), file.errorString());
}

void throwFileError(const QString &what, const QString &path, const QString &reason)
{
    throw KelvoraError(
        QStringLiteral("Cannot %1 file %2: %3").arg(what, QDir::toNativeSeparators(path), reason));
}
