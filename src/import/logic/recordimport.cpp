#include "recordimport.h"

#include "store/decimalformat.h"
#include "store/recordclock.h"
#include "store/unitprofile.h"

#include <cmath>

QString ImportedRecords::averageText() const
{
    return formatOneDecimal(values.isEmpty() ? 0.0 : sum / double(values.size()));
}

namespace RecordImport {

double valueInUnit(qint32 tenthsCelsius, bool celsius)
{
    if (celsius)
        return tenthsCelsius / 10.0;
    // Ten times the Fahrenheit value is (tenths x 18 + 3200) / 10, worked out
    // in whole numbers. That numerator is even, so the rounding never meets a
    // half and its direction cannot matter.
    const qint64 fahrenheitTenths = std::lround((qint64(tenthsCelsius) * 18 + 3200) / 10.0);
    return double(fahrenheitTenths) / 10.0;
}

ImportedRecords fromDownload(const qint32 *tenthsCelsius, const qint16 *emsHundredths, int count,
                             bool celsius)
{
    ImportedRecords r;
    r.axisMin = TemperatureAxis::defaultMin(celsius);
    r.axisMax = TemperatureAxis::defaultMax(celsius);
    r.values.reserve(count);
    r.emissivities.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double x = valueInUnit(tenthsCelsius[i], celsius);
        if (i == 0)
            r.maxReading = r.minReading = x;
        r.maxReading = std::max(r.maxReading, x);
        r.minReading = std::min(r.minReading, x);
        r.axisMax = std::max(r.axisMax, r.maxReading);
        r.sum += x;
        r.values.append(x);
        r.emissivities.append(emsHundredths[i] / 100.0);
    }
    return r;
}

QVector<MeasureRecord> tableRows(const ImportedRecords &records, bool celsius)
{
    const QString unit = celsius ? QStringLiteral("C") : QStringLiteral("F");
    QVector<MeasureRecord> rows(records.count());
    for (int i = 0; i < records.count(); ++i) {
        const RecordStamp stamp = currentRecordStamp();
        MeasureRecord &row = rows[i];
        row.recno = i + 1;
        row.date = stamp.date;
        row.time = stamp.time;
        row.ems = records.emissivities.at(i);
        row.meavalue = records.values.at(i);
        row.unit = unit;
    }
    return rows;
}

QString connectionBrokeText(int count)
{
    return QStringLiteral("The connection to the thermometer broke after %1 %2.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("record") : QStringLiteral("records"));
}

QString waitingText(int step)
{
    // The eighth step jumps from seven points to nine.
    const int points = step >= 8 ? 9 : std::max(step, 1);
    return QStringLiteral("Please waiting ") + QString(points, QLatin1Char('.'));
}

QString receivedText(int count)
{
    return QStringLiteral("%1 records received").arg(count);
}

QString endedText(int count)
{
    return QStringLiteral("Import ended: %1 records").arg(count);
}

} // namespace RecordImport
