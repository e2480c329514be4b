#pragma once

#include <QVector>

#include <utility>
#include <vector>

// The values of a chart series (y at x = 0, 1, 2, ...) together with an
// index of their extremes, so that the smallest and the largest value of any
// range of indices are found in logarithmic time rather than by reading the
// whole range. Appending a value updates the index in logarithmic time too:
// a series that grows by one reading at a time stays cheap to decimate
// however long it gets.
class IndexedSeries {
public:
    // Positions (indices) of the first smallest and the first largest value.
    struct Extremes {
        qsizetype lowest = -1;
        qsizetype highest = -1;
    };

    const QVector<double> &values() const { return m_values; }
    qsizetype size() const { return m_values.size(); }
    bool isEmpty() const { return m_values.isEmpty(); }

    void append(double y);
    void assign(const QVector<double> &ys);
    void clear();

    // The extremes of the values first to last (inclusive, within the
    // series); of equal values the one with the lowest index, as a scan from
    // first to last would find them.
    Extremes extremes(qsizetype first, qsizetype last) const;

private:
    // The extremes of a run of values, with where they lie; lowestAt < 0
    // for none.
    struct Node {
        double lowest = 0.0;
        double highest = 0.0;
        qsizetype lowestAt = -1;
        qsizetype highestAt = -1;
    };

    // Values per block of the lowest level; a range's partial blocks at each
    // end are scanned value by value, which reads memory in order.
    static constexpr qsizetype BlockSize = 32;

    // Strict comparisons keep the left one of equal values, as a scan from
    // left to right does. An empty side is left out.
    static Node joined(const Node &left, const Node &right);
    Node scan(qsizetype first, qsizetype last) const;
    // Recomputes the entry of level `level` at `node` from the level below.
    void update(std::size_t level, qsizetype node);

    QVector<double> m_values;
    // Level 0 holds the extremes of each block of BlockSize values; level
    // k + 1 those of each pair of entries of level k. The last entry of a
    // level may cover fewer values. The entries carry the values, so a
    // lookup does not reach into the series at random.
    std::vector<std::vector<Node>> m_levels;
};
