#include "store/logrecordline.h"

#include "store/decimalformat.h"
#include "store/logfileformat.h"

QString logRecordLine(const MeasureRecord &record, LogValueText valueText)
{
    const QString value = valueText == LogValueText::OneDecimal ? formatOneDecimal(record.meavalue)
                                                                : formatShortest(record.meavalue);
    const QLatin1Char comma(',');
    return record.date.leftJustified(LogFile::DateWidth) + comma +
           record.time.leftJustified(LogFile::TimeWidth) + comma + value.leftJustified(LogFile::ValueWidth) +
           comma + formatShortest(record.ems).leftJustified(LogFile::EmsWidth) + comma + record.unit;
}
