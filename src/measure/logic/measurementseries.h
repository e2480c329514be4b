#pragma once

#include <QString>
#include <QStringList>

// The running statistics of a live measurement: extremes in the window's
// unit, and the sum of the readings in Celsius, so that the average stays
// right across a change of unit.
class MeasurementSeries {
public:
    // Adds a reading: x in the window's unit, tenthsCelsius as received.
    // The first reading of a series sets both extremes and restarts the sum.
    void add(double x, qint32 tenthsCelsius, double &readingSum);

    // The average of the series in the given unit, formatted "0.0".
    QString averageText(double readingSum, bool celsius) const;

    // The vertical axis maximum: the default of the unit, or the largest
    // reading once it reaches that default; it never shrinks below it.
    double axisMaximum(bool celsius) const;

    int readingCount() const { return m_readingCount; }
    double maxReading() const { return m_maxReading; }
    double minReading() const { return m_minReading; }
    void setExtremes(double maxReading, double minReading);

    // Clear: the next reading starts a new series; extremes stay until then.
    void restart() { m_readingCount = 0; }

private:
    int m_readingCount = 0;
    double m_maxReading = 0.0;
    double m_minReading = 0.0;
};
