#include "measure/logic/indexedseries.h"

IndexedSeries::Node IndexedSeries::joined(const Node &left, const Node &right)
{
    if (left.lowestAt < 0)
        return right;
    if (right.lowestAt < 0)
        return left;
    Node n = left;
    if (right.lowest < left.lowest) {
        n.lowest = right.lowest;
        n.lowestAt = right.lowestAt;
    }
    if (right.highest > left.highest) {
        n.highest = right.highest;
        n.highestAt = right.highestAt;
    }
    return n;
}

void IndexedSeries::append(double y)
{
    m_values.append(y);
    qsizetype node = (m_values.size() - 1) / BlockSize;
    // Up to the level that has a single entry covering every value.
    for (std::size_t level = 0;; ++level, node /= 2) {
        update(level, node);
        if (m_levels[level].size() == 1)
            break;
    }
}

void IndexedSeries::assign(const QVector<double> &ys)
{
    m_values = ys;
    m_levels.clear();
    // Level by level from the bottom, each entry once.
    qsizetype entries = (m_values.size() + BlockSize - 1) / BlockSize;
    for (std::size_t level = 0; entries > 0; ++level) {
        for (qsizetype node = 0; node < entries; ++node)
            update(level, node);
        if (entries == 1)
            break;
        entries = (entries + 1) / 2;
    }
}

void IndexedSeries::clear()
{
    m_values.clear();
    m_levels.clear();
}

IndexedSeries::Node IndexedSeries::scan(qsizetype first, qsizetype last) const
{
    Node n;
    for (qsizetype i = first; i <= last; ++i)
        n = joined(n, Node{m_values[i], m_values[i], i, i});
    return n;
}

void IndexedSeries::update(std::size_t level, qsizetype node)
{
    Node n;
    if (level == 0) {
        const qsizetype first = node * BlockSize;
        n = scan(first, std::min(first + BlockSize, m_values.size()) - 1);
    } else {
        const std::vector<Node> &below = m_levels[level - 1];
        n = below[std::size_t(2 * node)];
        if (std::size_t(2 * node + 1) < below.size())
            n = joined(n, below[std::size_t(2 * node + 1)]);
    }
    if (m_levels.size() <= level)
        m_levels.emplace_back();
    std::vector<Node> &entries = m_levels[level];
    if (std::size_t(node) == entries.size())
        entries.push_back(n);
    else
        entries[std::size_t(node)] = n;
}

IndexedSeries::Extremes IndexedSeries::extremes(qsizetype first, qsizetype last) const
{
    // Whole blocks from firstBlock to lastBlock lie inside the range.
    const qsizetype firstBlock = (first + BlockSize - 1) / BlockSize;
    const qsizetype lastBlock = (last + 1) / BlockSize - 1;
    Node found;
    if (firstBlock > lastBlock) {
        found = scan(first, last);
    } else {
        // Bottom-up over the levels: the left part is joined left to right,
        // the right part right to left, so that ties keep the lowest index.
        Node left = scan(first, firstBlock * BlockSize - 1);
        Node right = scan((lastBlock + 1) * BlockSize, last);
        qsizetype l = firstBlock;
        qsizetype r = lastBlock;
        for (std::size_t level = 0; l <= r; ++level, l /= 2, r /= 2) {
            const std::vector<Node> &entries = m_levels[level];
            if (l == r) {
                left = joined(left, entries[std::size_t(l)]);
                break;
            }
            if (l % 2 == 1)
                left = joined(left, entries[std::size_t(l++)]);
            if (r % 2 == 0)
                right = joined(entries[std::size_t(r--)], right);
            if (l > r)
                break;
        }
        found = joined(left, right);
    }
    return {found.lowestAt, found.highestAt};
}
