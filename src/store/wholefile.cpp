#include "store/wholefile.h"

#include "store/fileerror.h"

#include <QSaveFile>

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, so that every failure shows here: QSaveFile::commit()
    // renames the file even when flushing its buffer has failed. A write that
    // stops short is continued, which reports the reason (a full disk).
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throwFileError(QStringLiteral("create"), file);
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            throwFileError(QStringLiteral("write"), file);
        done += written;
    }
    if (!file.commit())
        throwFileError(QStringLiteral("write"), file);
}
