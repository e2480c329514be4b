#include "store/fileerror.h"

#include "common/kelvoraerror.h"

#include <QDir>
#include <QFileDevice>

void throwFileError(const QString &what, const QFileDevice &file)
{
    throw KelvoraError(QStringLiteral("Cannot %1 file %2: %3")
                           .arg(what, QDir::toNativeSeparators(file.fileName()), file.errorString()));
}
