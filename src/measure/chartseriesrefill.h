#pragma once

#include "store/tableunitconversion.h"

#include <QVector>

class DataChart;

// Collects the converted readings of a unit change and hands them to one
// series of a chart in a single step, rather than point by point.
class ChartSeriesRefill final : public ConversionSink {
public:
    ChartSeriesRefill(DataChart *chart, int series) : m_chart(chart), m_series(series) {}
    void clearSeries() override { m_values.clear(); }
    void addPoint(int, double value) override { m_values.append(value); }
    // Gives the series the collected values (none when the table was empty).
    void apply();

private:
    DataChart *m_chart;
    int m_series;
    QVector<double> m_values;
};
