#include "store/logrecordparser.h"

#include "devicelink/kelvoraerror.h"
#include "store/decimalformat.h"
#include "store/logfileformat.h"

#include <cmath>

namespace {

// A value converted to the other unit keeps one decimal, rounded as "0.0".
double roundedToTenth(double value)
{
    return formatOneDecimal(value).toDouble();
}

} // namespace

int parseLogTotal(const QString &line)
{
    const QString text = line.mid(line.indexOf(QLatin1Char(':')) + 1);
    bool ok = false;
    const int total = text.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return total;
}

LogLine parseLogLine(const QString &line)
{
    const QString valueColumns = line.mid(LogFile::ValueColumn, LogFile::ValueWidth);
    bool ok = false;
    const double value = valueColumns.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(valueColumns));

    LogLine parsed;
    parsed.head = line.left(LogFile::HeadLength);
    parsed.emsColumns = line.mid(LogFile::EmsColumn, LogFile::EmsWidth);
    if (line.endsWith(QLatin1Char('C'))) {
        parsed.celsius = value;
        parsed.fahrenheit = roundedToTenth(value * 1.8 + 32);
    } else {
        parsed.fahrenheit = value;
        parsed.celsius = roundedToTenth((value - 32) / 1.8);
    }
    return parsed;
}

MeasureRecord loadedRow(const LogLine &line, bool unitCelsius, qint64 recno)
{
    MeasureRecord row;
    row.recno = recno;
    row.date = line.head.section(QLatin1Char(','), 0, 0).trimmed();
    row.time = line.head.section(QLatin1Char(','), 1, 1).trimmed();
    row.ems = line.emsColumns.trimmed().toDouble();
    row.meavalue = unitCelsius ? line.celsius : line.fahrenheit;
    row.unit = unitCelsius ? QStringLiteral("C") : QStringLiteral("F");
    return row;
}

QString stagingLine(const LogLine &line, const MeasureRecord &row)
{
    const QLatin1Char comma(',');
    return line.head + formatShortest(row.meavalue).leftJustified(LogFile::ValueWidth) + comma +
           line.emsColumns + comma + row.unit + comma + QString::number(row.recno);
}
