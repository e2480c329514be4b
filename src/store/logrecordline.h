#pragma once

#include "store/measurerecord.h"

#include <QString>

// How a table's values read as text. The measurement window's values always
// carry one decimal ("25.0"); the import window's take the shortest form
// ("25"). The table holds numbers only, so the writer is told which.
enum class LogValueText { Shortest, OneDecimal };

// The record line of one row, without its line end: date, time, value and
// emissivity padded with blanks to 10, 8, 6 and 4 characters, then the unit,
// separated by commas. Longer fields are written whole.
QString logRecordLine(const MeasureRecord &record, LogValueText valueText);
