#pragma once

#include "store/logrecordline.h"
#include "store/measurerecord.h"

#include <QString>
#include <QVector>

#include <optional>

class KelvoraDatabase;
class MeasureTable;

// Writes a series of readings to a file whose extension chooses the format:
// ".klg" the log file (the program's log writer), ".csv" a header line and
// one line "recno,date,time,value,ems,unit" per reading, ".xls" and ".xlsx"
// the spreadsheets of the export command. Every format is written beside the
// file and renamed over it when complete: a failed write leaves no partial
// file, and an old file of that name as it was.
namespace SeriesFile {

enum class Format { Log, Csv, Sheet, Workbook };

struct WriteResult {
    int rowsWritten = 0;
    int rowCount = 0;
    int maxRows = 0; // of the format written

    // A sheet holds at most maxRows rows; the rest of a longer series is not
    // in the file.
    bool complete() const { return rowsWritten == rowCount; }
    // What is missing, for a message: empty when complete.
    QString shortfall() const;
};

// The format of path by its extension, in either case; std::nullopt for any
// other extension.
std::optional<Format> formatOf(const QString &path);
// The extensions formatOf knows, for messages: ".klg, .csv, .xls or .xlsx".
QString knownExtensions();

// Writes the rows of table in table order. valueText: how the values read
// in the .klg and .csv (the import window writes the shortest form, the
// measurement window one decimal). Leaves the table's cursor on its last
// row. Throws KelvoraError naming the file when it cannot be written.
WriteResult write(const QString &path, Format format, MeasureTable &table, LogValueText valueText);

// Writes rows: they replace the rows of table (of database; a scratch table
// such as LoadData), in one transaction, and the table is written.
WriteResult write(const QString &path, Format format, QVector<MeasureRecord> rows, KelvoraDatabase &database,
                  MeasureTable &table, LogValueText valueText);

} // namespace SeriesFile
