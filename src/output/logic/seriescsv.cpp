#include "output/logic/seriescsv.h"

#include "store/decimalformat.h"

QByteArray csvBytes(const QVector<MeasureRecord> &rows, LogValueText valueText)
{
    QByteArray out("recno,date,time,value,ems,unit\n");
    for (const MeasureRecord &row : rows) {
        const QString value = valueText == LogValueText::OneDecimal ? formatOneDecimal(row.meavalue)
                                                                    : formatShortest(row.meavalue);
        out +=
            QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                .arg(QString::number(row.recno), row.date, row.time, value, formatShortest(row.ems), row.unit)
                .toUtf8();
    }
    return out;
}
