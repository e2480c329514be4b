#include "measure/logic/drawableaxis.h"

#include <algorithm>
#include <cmath>

namespace {

// The finest tick interval, relative to the ends' magnitude: far above a
// double's precision of about 2e-16, so adding it always moves a tick on.
constexpr double RelativeResolution = 1e-9;

double boundedEnd(double value)
{
    if (std::isnan(value))
        return 0.0;
    return std::clamp(value, -DrawableAxis::MaxMagnitude, DrawableAxis::MaxMagnitude);
}

double finestInterval(AxisRange range)
{
    const double magnitude = std::max(std::fabs(range.minimum), std::fabs(range.maximum));
    return std::max(magnitude, 1.0) * RelativeResolution;
}

} // namespace

AxisRange drawableRange(AxisRange range)
{
    AxisRange r{boundedEnd(range.minimum), boundedEnd(range.maximum)};
    if (r.minimum > r.maximum)
        std::swap(r.minimum, r.maximum);
    const double finest = finestInterval(r);
    if (r.maximum - r.minimum < finest) {
        const double middle = r.minimum / 2 + r.maximum / 2;
        r = {middle - finest, middle + finest};
    }
    return r;
}

double drawableTickInterval(AxisRange drawable, double step)
{
    const double width = drawable.maximum - drawable.minimum;
    double interval = std::isfinite(step) && step > 0.0 ? step : width;
    interval = std::max(interval, width / DrawableAxis::MaxTicks);
    return std::max(interval, finestInterval(drawable));
}
