#pragma once

#include "store/measurerecord.h"

#include <QString>
#include <QVector>

// What an import makes of the records a thermometer has downloaded: each
// value in the window's unit, the emissivities as numbers, and the
// statistics and axis maximum that the window shows. No widget, no table.
struct ImportedRecords {
    QVector<double> values;       // in the window's unit, one decimal
    QVector<double> emissivities; // 0.95 for 95
    double maxReading = 0.0;
    double minReading = 0.0;
    double sum = 0.0;
    double axisMin = 0.0;
    double axisMax = 0.0; // the unit's default maximum, or the largest value above it

    int count() const { return int(values.size()); }
    // The average formatted "0.0"; "0.0" without records.
    QString averageText() const;
};

namespace RecordImport {

// A stored value (tenths of a degree Celsius) in the window's unit: Celsius
// as it is, Fahrenheit as C x 1.8 + 32 rounded to one decimal (253 gives 77.5).
double valueInUnit(qint32 tenthsCelsius, bool celsius);

// The records of a download in the window's unit.
ImportedRecords fromDownload(const qint32 *tenthsCelsius, const qint16 *emsHundredths, int count,
                             bool celsius);

// The rows of GetRecorde for the records in the unit celsius tells:
// numbered from 1, each stamped with the computer's date and time as it is
// made (the thermometer's records carry none of their own).
QVector<MeasureRecord> tableRows(const ImportedRecords &records, bool celsius);

// The first sentence of the report on a download whose connection broke
// after count whole records: "The connection to the thermometer broke after
// 12 records."
QString connectionBrokeText(int count);

// The text under the chart while the import waits for the reply, for step
// 1..8 of the waiting cycle: "Please waiting ." with one more point a step
// and nine at the eighth.
QString waitingText(int step);

// Beside the waiting text: "12 records received".
QString receivedText(int count);
// The status once the download has ended: "Import ended: 12 records".
QString endedText(int count);

} // namespace RecordImport
