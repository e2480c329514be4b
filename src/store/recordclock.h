#pragma once

#include <QDateTime>
#include <QString>

// The date and time a window gives a new row: "yyyy-MM-dd" and "HH:mm:ss"
// whatever the locale, so they always fit the log file's 10 and 8 columns.
struct RecordStamp {
    QString date;
    QString time;
};

RecordStamp recordStamp(const QDateTime &moment);
// Both texts from one reading of the clock, so a row made at midnight never
// pairs one day's date with the next day's time.
RecordStamp currentRecordStamp();
