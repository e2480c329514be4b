#pragma once

#include <QVector>

// Splits a series of reading times (seconds) into segments without a gap,
// so that a chart draws no line across a stretch in which readings were
// missed. Two consecutive times more than the threshold apart, in either
// order, lie in different segments; a time that is not a number never
// starts one.
class TimeSegments {
public:
    // True when a reading at next, following one at previous, starts a new segment.
    static bool isGap(double previous, double next, double threshold);
    // The indices (ascending, each above 0) at which a new segment begins.
    static QVector<qsizetype> segmentStarts(const QVector<double> &times, double threshold);
    // The median of the steps between consecutive times, leaving out steps
    // of zero (times of one-second resolution repeat at faster rates) and
    // steps to or from a time that is not a number; 0 without such steps.
    static double medianStep(const QVector<double> &times);
};
