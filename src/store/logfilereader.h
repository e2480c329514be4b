#pragma once

#include <QString>
#include <QVector>

#include <functional>

class KelvoraDatabase;
class MeasureTable;

struct LogLoadResult {
    // The first line was the header, so the file counts as loaded (with no
    // rows when its body is empty). A file that is no log file loads nothing.
    bool accepted = false;
    // The caller stopped the load; it left nothing, as a failure does.
    bool cancelled = false;
    int total = 0; // the count of line 2, for the progress display only
    // The values appended to LoadData in file order, in the current unit.
    QVector<double> values;
    // The rows' date and time in seconds, in file order; not a number for a
    // row whose date or time is not of the form yyyy-MM-dd and HH:mm:ss.
    QVector<double> times;

    int rowsAppended() const { return static_cast<int>(values.size()); }
};

// Told how far the load has come: once with rowsRead 0 when the header and
// the count have been accepted, then every few hundred rows while the
// record lines are read and stored, and once more when all are stored,
// before the commit. Returns false to stop the load.
using LogLoadProgress = std::function<bool(int rowsRead, int total)>;

// Loads the log file at path into loadData (LoadData of database): every
// record line becomes a row in the current unit (unitCelsius), numbered from
// firstRecno on, and a line of the staging file "AsciiDBF.TXT" beside the
// executable, which is rewritten (emptied) first. A file whose first line is
// not the header loads nothing and reports nothing. Each row is stored as it
// is read, all in one transaction, which also takes in what else is written
// on the connection while progress runs; a grid bound to the table sees one
// reset at the end. A load that progress stops leaves nothing of the file,
// as a failure does, and keeps those other writes.
// busy, when given (the data view lends the program's table-busy flag), is
// true while the load runs. Failures throw: ConversionError for a bad count
// or value, KelvoraError naming the file when a file cannot be opened, read
// or written, DatabaseError from the table. On every failure no row of the
// file reaches loadData (its row cache included), both files are closed, the
// staging file is left empty and busy is false again.
LogLoadResult loadLogFile(const QString &path, KelvoraDatabase &database, MeasureTable &loadData,
                          qint64 firstRecno, bool unitCelsius, const LogLoadProgress &progress = {},
                          bool *busy = nullptr);
