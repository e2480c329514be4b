#include "store/logfilewriter.h"

#include "store/fileerror.h"
#include "store/logfileformat.h"
#include "store/measuretable.h"

#include <QSaveFile>

namespace {

QByteArray logFileBytes(MeasureTable &table, LogValueText valueText)
{
    QStringList lines{QLatin1String(LogFile::Header),
                      QLatin1String(LogFile::TotalPrefix) + QString::number(table.recordCount())};
    for (table.first(); !table.eof(); table.next())
        lines << logRecordLine(table.current(), valueText);
    lines << QString(); // the line end after the last line
    return lines.join(QLatin1String(LogFile::LineEnd)).toUtf8();
}

} // namespace

void writeLogFile(const QString &path, MeasureTable &table, LogValueText valueText)
{
    const QByteArray bytes = logFileBytes(table, valueText);
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
