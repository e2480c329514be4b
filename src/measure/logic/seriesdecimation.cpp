#include "seriesdecimation.h"

#include <algorithm>
#include <cmath>
#include <utility>

QList<QPointF> decimateMinMax(const QVector<double> &ys, double xFrom, double xTo, int buckets)
{
    QList<QPointF> out;
    const qsizetype n = ys.size();
    if (n == 0)
        return out;
    if (xFrom > xTo)
        std::swap(xFrom, xTo);
    const double lastIndex = double(n - 1);
    if (xTo < 0.0 || xFrom > lastIndex)
        return out;
    // floor and ceil take in the neighbour just outside each edge.
    const qsizetype first = qsizetype(std::max(0.0, std::floor(xFrom)));
    const qsizetype last = qsizetype(std::min(lastIndex, std::ceil(xTo)));
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
