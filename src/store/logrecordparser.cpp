#include "store/logrecordparser.h"

#include "devicelink/kelvoraerror.h"
#include "store/decimalformat.h"
#include "store/logfileformat.h"

#include <cmath>

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
    const QStringView valueColumns = QStringView(line).mid(LogFile::ValueColumn, LogFile::ValueWidth);
    bool ok = false;
    const double value = valueColumns.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw ConversionError(
            QStringLiteral("'%1' is not a valid floating point value").arg(valueColumns.toString()));

    LogLine parsed;
    parsed.head = line.left(LogFile::HeadLength);
    parsed.emsColumns = line.mid(LogFile::EmsColumn, LogFile::EmsWidth);
    if (line.endsWith(QLatin1Char('C'))) {
        parsed.celsius = value;
        parsed.fahrenheit = roundOneDecimal(value * 1.8 + 32);
    } else {
        parsed.fahrenheit = value;
        parsed.celsius = roundOneDecimal((value - 32) / 1.8);
    }
    return parsed;
}

MeasureRecord loadedRow(const LogLine &line, bool unitCelsius, qint64 recno)
{
    MeasureRecord row;
    row.recno = recno;
    // The date before the head's first comma, the time up to its second.
    const QStringView head(line.head);
    const qsizetype dateEnd = head.indexOf(QLatin1Char(','));
    const QStringView afterDate = dateEnd < 0 ? QStringView() : head.mid(dateEnd + 1);
    const qsizetype timeEnd = afterDate.indexOf(QLatin1Char(','));
    row.date = (dateEnd < 0 ? head : head.left(dateEnd)).trimmed().toString();
    row.time = (timeEnd < 0 ? afterDate : afterDate.left(timeEnd)).trimmed().toString();
    row.ems = QStringView(line.emsColumns).trimmed().toDouble();
    row.meavalue = unitCelsius ? line.celsius : line.fahrenheit;
    row.unit = unitCelsius ? QStringLiteral("C") : QStringLiteral("F");
    return row;
}

QString stagingLine(const LogLine &line, const MeasureRecord &row)
{
    const QLatin1Char comma(',');
    const QString value = formatShortest(row.meavalue);
    // Built in one piece: a long file makes a staging line per record.
    QString staged;
    staged.reserve(line.head.size() + qMax(value.size(), qsizetype(LogFile::ValueWidth)) +
                   line.emsColumns.size() + row.unit.size() + 24);
    staged.append(line.head).append(value);
    for (qsizetype pad = value.size(); pad < LogFile::ValueWidth; ++pad)
        staged.append(QLatin1Char(' '));
    staged.append(comma).append(line.emsColumns).append(comma).append(row.unit).append(comma);
    staged.append(QString::number(row.recno));
    return staged;
}
