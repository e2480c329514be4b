#pragma once

#include "store/logrecordline.h"
#include "store/measurerecord.h"

#include <QByteArray>
#include <QVector>

// The CSV form of a series of readings: a header line
// "recno,date,time,value,ems,unit" and one line per row, lines ended by
// "\n"; values as valueText gives them.
QByteArray csvBytes(const QVector<MeasureRecord> &rows, LogValueText valueText);
