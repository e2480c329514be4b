#include "analysis/logic/loadedfiles.h"

#include "store/unitprofile.h"

#include <algorithm>

void LoadedFiles::addFile(qint64 firstRecno, const QVector<double> &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const double x = values.at(i);
        if (firstRecno + i == 1)
            m_maxReading = m_minReading = x;
        m_minReading = std::min(m_minReading, x);
        m_maxReading = std::max(m_maxReading, x);
    }
    if (m_appendedFiles >= MaxFiles)
        return;
    m_bounds[std::size_t(m_appendedFiles)] = qint32(firstRecno + values.size());
    ++m_appendedFiles;
}

void LoadedFiles::setExtremes(double maxReading, double minReading)
{
    m_maxReading = maxReading;
    m_minReading = minReading;
}

int LoadedFiles::seriesOfRow(qint64 position, const FileBounds &b)
{
    // The bounds are record numbers; position p holds record number p + 1.
    // Each test stands on its own, as the grid's colouring does.
    int series = -1;
    if (b[0] != 0 && position < b[0] - 1)
        series = 0;
    for (int k = 1; k < MaxFiles - 1; ++k)
        if (b[k - 1] - 1 <= position && position < b[k] - 1)
            series = k;
    if (b[8] > 0 && position >= b[8] - 1)
        series = MaxFiles - 1;
    return series;
}

LoadedFiles::SeriesValues LoadedFiles::splitIntoSeries(const QVector<double> &values) const
{
    SeriesValues series;
    for (qsizetype p = 0; p < values.size(); ++p) {
        const int k = seriesOfRow(p, m_bounds);
        if (k >= 0)
            series[std::size_t(k)].append(values.at(p));
    }
    return series;
}

double LoadedFiles::axisMaximum(double maxReading, bool celsius)
{
    return std::max(maxReading, TemperatureAxis::defaultMax(celsius));
}
