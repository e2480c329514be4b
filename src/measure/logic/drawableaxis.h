#pragma once

#include "measure/logic/axisnavigation.h"

// What a chart's value axis is handed. The axis lays out one tick per
// interval from its minimum to its maximum, stepping by adding the interval:
// a range of 200 to 1e300 with a step of 1, or a step lost in the rounding
// of its ends, would never end. These keep every range drawable, whatever
// the data (huge or tiny values, NaN, infinities).
namespace DrawableAxis {
// Ends beyond this are drawn at it, so the width stays a finite double.
constexpr double MaxMagnitude = 1e300;
// The most ticks an axis is given.
constexpr int MaxTicks = 1000;
} // namespace DrawableAxis

// The range with finite ends within the largest magnitude (NaN taken as 0),
// the minimum below the maximum and the two far enough apart that ticks
// between them are distinct doubles.
AxisRange drawableRange(AxisRange range);

// The tick interval for a drawable range: the wanted step, widened so that
// the range holds at most MaxTicks ticks and each tick lies clearly above
// the one before. A step that is not a positive finite number is replaced.
double drawableTickInterval(AxisRange drawable, double step);
