#include "measure/logic/measurementseries.h"

#include "store/decimalformat.h"
#include "store/unitprofile.h"

#include <algorithm>

void MeasurementSeries::add(double x, qint32 tenthsCelsius, double &readingSum)
{
    ++m_readingCount;
    if (m_readingCount == 1) {
        m_maxReading = x;
        m_minReading = x;
        readingSum = 0.0;
    }
    m_minReading = std::min(m_minReading, x);
    m_maxReading = std::max(m_maxReading, x);
    readingSum += tenthsCelsius / 10.0;
}

QString MeasurementSeries::averageText(double readingSum, bool celsius) const
{
    const double celsiusAverage = m_readingCount > 0 ? readingSum / m_readingCount : 0.0;
    return formatOneDecimal(celsius ? celsiusAverage : celsiusAverage * 1.8 + 32);
}

double MeasurementSeries::axisMaximum(bool celsius) const
{
    const double fallback = TemperatureAxis::defaultMax(celsius);
    return m_maxReading >= fallback ? m_maxReading : fallback;
}

void MeasurementSeries::setExtremes(double maxReading, double minReading)
{
    m_maxReading = maxReading;
    m_minReading = minReading;
}
