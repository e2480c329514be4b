#include "setup/logic/steppercount.h"

#include <algorithm>
#include <cmath>
#include <limits>

StepperCount::StepperCount(int minimum, int maximum, int count, int step)
    : m_minimum(minimum), m_maximum(maximum), m_count(minimum), m_step(step)
{
    setCount(count);
}

void StepperCount::setCount(int count)
{
    m_count = std::clamp(count, m_minimum, m_maximum);
}

StepDirection StepperCount::direction(bool up) const
{
    if (up)
        return m_count < m_maximum ? StepDirection::Up : StepDirection::None;
    return m_count > m_minimum ? StepDirection::Down : StepDirection::None;
}

int StepperCount::target(StepDirection direction) const
{
    // Widened: a count near the end of int plus a step must not overflow.
    const long long count = m_count;
    switch (direction) {
    case StepDirection::Up: return int(std::min<long long>(count + m_step, m_maximum));
    case StepDirection::Down: return int(std::max<long long>(count - m_step, m_minimum));
    case StepDirection::None: break;
    }
    return m_count;
}

int tenthsCount(double degrees)
{
    const double tenths = std::round(degrees * 10.0);
    if (std::isnan(tenths))
        return 0;
    return int(std::clamp<double>(tenths, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
