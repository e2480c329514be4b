#pragma once

// The distance between two labels of a value axis: the smallest of
// minimumStep * 1, 2, 5, 10, 20, 50, ... that puts no more than maxLabels
// labels on a range of the given width, so labels never overlap. When not
// even one minimumStep fits in the range, finer steps of the same series
// (0.5, 0.2, 0.1, ... times minimumStep) keep at least two labels on it.
double axisLabelStep(double rangeWidth, int maxLabels, double minimumStep);

// Decimals a label needs to show multiples of step exactly (0 for steps of
// 1 and more).
int axisLabelDecimals(double step);
