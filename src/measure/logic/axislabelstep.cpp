#include "axislabelstep.h"

#include <algorithm>
#include <cmath>

namespace {

// The k-th step of the series ... 0.1, 0.2, 0.5, 1, 2, 5, 10 ... times unit.
double nthStep(double unit, int k)
{
    static const double mantissa[] = {1.0, 2.0, 5.0};
    const int decade = k >= 0 ? k / 3 : -((-k + 2) / 3);
    return unit * mantissa[k - 3 * decade] * std::pow(10.0, decade);
}

} // namespace

double axisLabelStep(double rangeWidth, int maxLabels, double minimumStep)
{
    if (!(minimumStep > 0.0) || !std::isfinite(rangeWidth) || rangeWidth <= 0.0)
        return minimumStep > 0.0 ? minimumStep : 1.0;
    maxLabels = std::max(maxLabels, 2);
    int k = 0;
    if (rangeWidth < minimumStep) {
        // Finer steps until two labels fit, never below what 2 labels need.
        while (k > -60 && nthStep(minimumStep, k) > rangeWidth / 2.0)
            --k;
        return nthStep(minimumStep, k);
    }
    // At most floor(width / step) + 1 labels fit on the range.
    while (k < 600 && std::floor(rangeWidth / nthStep(minimumStep, k)) + 1 > maxLabels)
        ++k;
    return nthStep(minimumStep, k);
}

int axisLabelDecimals(double step)
{
    if (!(step > 0.0) || step >= 1.0)
        return 0;
    // The smallest d with step * 10^d whole, allowing for binary rounding.
    for (int d = 1; d < 15; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled)
            return d;
    }
    return 15;
}
