#pragma once

#include <QString>

// One row of MeaData, GetRecorde or LoadData.
struct MeasureRecord {
    qint64 recno = 0;
    QString date;
    QString time;
    double ems = 0.0;
    double meavalue = 0.0;
    QString unit;
};
// Moved in memory as a whole when a vector of rows grows.
Q_DECLARE_TYPEINFO(MeasureRecord, Q_RELOCATABLE_TYPE);
