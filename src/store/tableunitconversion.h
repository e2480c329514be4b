#pragma once

#include "store/unitprofile.h"

#include <QString>

class MeasureTable;
class SqlStatement;

// Receives the converted readings of a unit change: the window's chart. A
// window keeps the points beside its chart and hands them to the series once
// the conversion returns, rather than appending point by point.
class ConversionSink {
public:
    // Called once, after the table has been converted, when it holds rows.
    virtual void clearSeries() = 0;
    // One call per row in table order; row counts from 0.
    virtual void addPoint(int row, double value) = 0;

protected:
    ~ConversionSink() = default;
};

struct UnitConversionResult {
    int rows = 0;
    // Extremes and average of the converted rows; without rows the extremes
    // are not set (the window keeps its own) and the average is 0.
    double maxReading = 0.0;
    double minReading = 0.0;
    double average = 0.0;
    double axisMin = 0.0;
    double axisMax = 0.0;
    bool windowCelsius = false; // the window's unit from now on
    QString axisTitle;

    bool hasReadings() const { return rows > 0; }
    // Sets the window's extremes when there were rows; else leaves them.
    void takeExtremes(double &maxReading, double &minReading) const;
};

// Converts a data window's table from the window's unit (windowCelsius) to
// the program's unit (unitCelsius): the value and unit statements of profile
// run through query in one transaction, then the table is refreshed and its
// rows go to sink. An empty table runs no statement. When the two units
// already agree nothing is converted, so a repeated change message cannot
// convert a table twice. Leaves the table's cursor on its last row.
// Database failures throw DatabaseError, and a value that would become
// infinite in the other unit throws ConversionError; either way table and
// chart stay as they were.
UnitConversionResult convertTableUnit(MeasureTable &table, SqlStatement &query, const UnitProfile &profile,
                                      bool windowCelsius, bool unitCelsius, ConversionSink &sink);
