#include "store/logfilewriter.h"

#include "store/logfileformat.h"
#include "store/measuretable.h"
#include "store/wholefile.h"

#include <QStringList>

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
    writeWholeFile(path, logFileBytes(table, valueText));
}
