#include "measure/logic/timesegments.h"

#include <algorithm>
#include <cmath>

bool TimeSegments::isGap(double previous, double next, double threshold)
{
    return std::abs(next - previous) > threshold;
}

QVector<qsizetype> TimeSegments::segmentStarts(const QVector<double> &times, double threshold)
{
    QVector<qsizetype> starts;
    for (qsizetype i = 1; i < times.size(); ++i)
        if (isGap(times[i - 1], times[i], threshold))
            starts.append(i);
    return starts;
}

double TimeSegments::medianStep(const QVector<double> &times)
{
    QVector<double> steps;
    for (qsizetype i = 1; i < times.size(); ++i) {
        const double step = std::abs(times[i] - times[i - 1]);
        if (step > 0.0) // false for a step that is not a number
            steps.append(step);
    }
    if (steps.isEmpty())
        return 0.0;
    const auto middle = steps.begin() + steps.size() / 2;
    std::nth_element(steps.begin(), middle, steps.end());
    if (steps.size() % 2 != 0)
        return *middle;
    return (*middle + *std::max_element(steps.begin(), middle)) / 2.0;
}
