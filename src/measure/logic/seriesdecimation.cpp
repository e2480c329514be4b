#include "seriesdecimation.h"

#include "measure/logic/indexedseries.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// extremesOf(from, to) gives the positions of the first smallest and first
// largest of the values from to to (inclusive).
template <typename ExtremesOf>
QList<QPointF> decimate(const QVector<double> &ys, qsizetype firstIndex, qsizetype lastIndex, double xFrom,
                        double xTo, int buckets, ExtremesOf extremesOf)
{
    QList<QPointF> out;
    firstIndex = std::max<qsizetype>(firstIndex, 0);
    lastIndex = std::min(lastIndex, ys.size() - 1);
    if (firstIndex > lastIndex)
        return out;
    if (xFrom > xTo)
        std::swap(xFrom, xTo);
    if (xTo < double(firstIndex) || xFrom > double(lastIndex))
        return out;
    // floor and ceil take in the neighbour just outside each edge.
    const qsizetype first = qsizetype(std::max(double(firstIndex), std::floor(xFrom)));
    const qsizetype last = qsizetype(std::min(double(lastIndex), std::ceil(xTo)));
    const qsizetype count = last - first + 1;
    buckets = std::max(buckets, 1);

    if (count <= 2 * qsizetype(buckets)) {
        out.reserve(count);
        for (qsizetype i = first; i <= last; ++i)
            out.append(QPointF(double(i), ys[i]));
        return out;
    }

    out.reserve(2 * buckets + 2);
    out.append(QPointF(double(first), ys[first]));
    // The points strictly between first and last, cut into equal buckets.
    const qsizetype innerFirst = first + 1;
    const qsizetype inner = count - 2;
    for (int b = 0; b < buckets; ++b) {
        const qsizetype from = innerFirst + inner * b / buckets;
        const qsizetype to = innerFirst + inner * (b + 1) / buckets;
        if (from >= to)
            continue;
        const auto [lo, hi] = extremesOf(from, to - 1);
        const qsizetype a = std::min(lo, hi);
        const qsizetype c = std::max(lo, hi);
        out.append(QPointF(double(a), ys[a]));
        if (c != a)
            out.append(QPointF(double(c), ys[c]));
    }
    out.append(QPointF(double(last), ys[last]));
    return out;
}

} // namespace

QList<QPointF> decimateMinMax(const QVector<double> &ys, double xFrom, double xTo, int buckets)
{
    return decimateMinMax(ys, 0, ys.size() - 1, xFrom, xTo, buckets);
}

QList<QPointF> decimateMinMax(const QVector<double> &ys, qsizetype firstIndex, qsizetype lastIndex,
                              double xFrom, double xTo, int buckets)
{
    return decimate(ys, firstIndex, lastIndex, xFrom, xTo, buckets, [&ys](qsizetype from, qsizetype to) {
        qsizetype lo = from;
        qsizetype hi = from;
        for (qsizetype i = from + 1; i <= to; ++i) {
            if (ys[i] < ys[lo])
                lo = i;
            if (ys[i] > ys[hi])
                hi = i;
        }
        return std::pair{lo, hi};
    });
}

QList<QPointF> decimateMinMax(const IndexedSeries &series, qsizetype firstIndex, qsizetype lastIndex,
                              double xFrom, double xTo, int buckets)
{
    return decimate(series.values(), firstIndex, lastIndex, xFrom, xTo, buckets,
                    [&series](qsizetype from, qsizetype to) {
                        const IndexedSeries::Extremes e = series.extremes(from, to);
                        return std::pair{e.lowest, e.highest};
                    });
}
