#pragma once

#include <QList>
#include <QPointF>
#include <QVector>

class IndexedSeries;

// The points of a series (y values at x = 0, 1, 2, ...) that draw the part
// between xFrom and xTo like the whole data would, in at most about
// 2 * buckets + 2 points: the index range is cut into buckets and each keeps
// its smallest and largest value in their order, so every extreme survives.
// The nearest point outside each end is kept so the line reaches the edges.
// When the range holds no more than 2 * buckets points, all of them are
// returned: zoomed in far enough, every point shows.
QList<QPointF> decimateMinMax(const QVector<double> &ys, double xFrom, double xTo, int buckets);
// The same for the points first to last (indices into ys) alone, as one
// segment of a line broken where readings were missed.
QList<QPointF> decimateMinMax(const QVector<double> &ys, qsizetype first, qsizetype last, double xFrom,
                              double xTo, int buckets);
// The same, with the extremes of each bucket looked up in the series' index
// rather than read value by value: the same points, at a cost that grows
// with the number of buckets but hardly with the length of the series.
QList<QPointF> decimateMinMax(const IndexedSeries &series, qsizetype first, qsizetype last, double xFrom,
                              double xTo, int buckets);
