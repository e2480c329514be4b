#pragma once

#include "store/gridcolouring.h"

#include <QVector>

#include <array>

// What the data view window knows of the log files whose rows it has
// appended to LoadData: where each file's rows end (the file bounds) and the
// extremes over all rows. Record numbers run on across the files, so a row's
// record number is its table position plus one.
class LoadedFiles {
public:
    static constexpr int MaxFiles = 10;
    using SeriesValues = std::array<QVector<double>, MaxFiles>;

    const FileBounds &bounds() const { return m_bounds; }
    int appendedFiles() const { return m_appendedFiles; }
    double maxReading() const { return m_maxReading; }
    double minReading() const { return m_minReading; }

    // Takes the rows of the next file, numbered from firstRecno on, in the
    // table's unit: the row numbered 1 sets both extremes, every row may
    // widen them, and the file's bound becomes the record number after its
    // last row (firstRecno itself for a file without rows).
    void addFile(qint64 firstRecno, const QVector<double> &values);
    // After a unit change: the extremes over the converted rows.
    void setExtremes(double maxReading, double minReading);

    // The series (0 for Series1) that the row at a table position (from 0)
    // belongs to by the bounds; -1 for a row beyond every loaded file.
    static int seriesOfRow(qint64 position, const FileBounds &bounds);
    // The table's values in scan order, split into the ten series.
    SeriesValues splitIntoSeries(const QVector<double> &values) const;

    // The vertical axis maximum: the largest reading, or the unit's default
    // maximum when the reading lies below it.
    static double axisMaximum(double maxReading, bool celsius);

private:
    FileBounds m_bounds{};
    int m_appendedFiles = 0;
    double m_maxReading = 0.0;
    double m_minReading = 0.0;
};
