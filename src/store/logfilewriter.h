#pragma once

#include "store/logrecordline.h"

#include <QString>

class MeasureTable;

// Writes table as a log file at path, replacing any file of that name: the
// header, "Total:" with the row count, and one record line per row in scan
// order. The file is written beside the old one and renamed over it only when
// complete, so a failed save leaves the old file as it was. Throws
// KelvoraError naming the file when it cannot be written, DatabaseError when
// the table is closed. Leaves the table's cursor past its last row.
void writeLogFile(const QString &path, MeasureTable &table, LogValueText valueText);
