#include "axisnavigation.h"

#include <utility>

AxisRange zoomedRange(AxisRange r, double percent)
{
    const double delta = (r.maximum - r.minimum) * (percent - 100.0) * 0.01;
    return {r.minimum + delta, r.maximum - delta};
}

AxisRange scrolledRange(AxisRange r, double percent)
{
    const double d = (r.maximum - r.minimum) * percent / 100.0;
    return {r.minimum + d, r.maximum + d};
}

AxisRange AxisNavigation::range(ChartAxis axis) const
{
    const AxisState &s = m_axes[index(axis)];
    const std::optional<AxisRange> &extent = m_extents[index(axis)];
    double lo = s.automaticMinimum && extent ? extent->minimum : s.minimum;
    double hi = s.automaticMaximum && extent ? extent->maximum : s.maximum;
    if (lo > hi)
        std::swap(lo, hi);
    if (lo == hi) {
        lo -= 1.0;
        hi += 1.0;
    }
    return {lo, hi};
}

void AxisNavigation::setRange(ChartAxis axis, double minimum, double maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    m_axes[index(axis)] = {minimum, maximum, false, false};
}

void AxisNavigation::setAutomatic(ChartAxis axis, bool automatic)
{
    AxisState &s = m_axes[index(axis)];
    s.automaticMinimum = s.automaticMaximum = automatic;
}

bool AxisNavigation::isAutomatic(ChartAxis axis) const
{
    const AxisState &s = m_axes[index(axis)];
    return s.automaticMinimum && s.automaticMaximum;
}

void AxisNavigation::setDataExtent(ChartAxis axis, std::optional<AxisRange> extent)
{
    m_extents[index(axis)] = extent;
}

void AxisNavigation::zoomPercent(double percent)
{
    std::array<AxisRange, 4> zoomed;
    for (ChartAxis axis : allChartAxes)
        zoomed[index(axis)] = zoomedRange(range(axis), percent);
    if (!m_restorePending) {
        m_saved = m_axes;
        m_restorePending = true;
    }
    for (ChartAxis axis : allChartAxes)
        setRange(axis, zoomed[index(axis)].minimum, zoomed[index(axis)].maximum);
    m_zoomed = true;
}

void AxisNavigation::undoZoom()
{
    if (m_restorePending) {
        m_axes = m_saved;
        m_restorePending = false;
    }
    m_zoomed = false;
}
