#include "seriesdecimation.h"

#include <algorithm>
#include <cmath>
#include <utility>

QList<QPointF> decimateMinMax(const QVector<double> &ys, double xFrom, double xTo, int buckets)
{
    return decimateMinMax(ys, 0, ys.size() - 1, xFrom, xTo, buckets);
}

QList<QPointF> decimateMinMax(const QVector<double> &ys, qsizetype firstIndex, qsizetype lastIndex,
                              double xFrom, double xTo, int buckets)
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
        qsizetype lo = from;
        qsizetype hi = from;
        for (qsizetype i = from + 1; i < to; ++i) {
            if (ys[i] < ys[lo])
                lo = i;
            if (ys[i] > ys[hi])
                hi = i;
        }
        const qsizetype a = std::min(lo, hi);
        const qsizetype c = std::max(lo, hi);
        out.append(QPointF(double(a), ys[a]));
        if (c != a)
            out.append(QPointF(double(c), ys[c]));
    }
    out.append(QPointF(double(last), ys[last]));
    return out;
}
