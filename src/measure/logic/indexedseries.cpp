#include "measure/logic/indexedseries.h"

void IndexedSeries::append(double y)
{
    m_values.append(y);
    indexLastValue();
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

IndexedSeries::Extremes IndexedSeries::joined(const Extremes &left, const Extremes &right) const
{
    if (left.lowest < 0)
        return right;
    if (right.lowest < 0)
        return left;
    // Strict comparisons keep the left one of equal values.
    return {m_values[right.lowest] < m_values[left.lowest] ? right.lowest : left.lowest,
            m_values[right.highest] > m_values[left.highest] ? right.highest : left.highest};
}

IndexedSeries::Extremes IndexedSeries::scan(qsizetype first, qsizetype last) const
{
    Extremes e;
    for (qsizetype i = first; i <= last; ++i)
        e = joined(e, {i, i});
    return e;
}

void IndexedSeries::update(std::size_t level, qsizetype node)
{
    Extremes e;
    if (level == 0) {
        const qsizetype first = node * BlockSize;
        e = scan(first, std::min(first + BlockSize, m_values.size()) - 1);
    } else {
        const std::vector<Extremes> &below = m_levels[level - 1];
        e = below[std::size_t(2 * node)];
        if (std::size_t(2 * node + 1) < below.size())
            e = joined(e, below[std::size_t(2 * node + 1)]);
    }
    if (m_levels.size() <= level)
        m_levels.emplace_back();
    std::vector<Extremes> &entries = m_levels[level];
    if (std::size_t(node) == entries.size())
        entries.push_back(e);
    else
        entries[std::size_t(node)] = e;
}

void IndexedSeries::indexLastValue()
{
    qsizetype node = (m_values.size() - 1) / BlockSize;
    // Up to the level that has a single entry covering every value.
    for (std::size_t level = 0;; ++level, node /= 2) {
        update(level, node);
        if (m_levels[level].size() == 1)
            break;
    }
}

IndexedSeries::Extremes IndexedSeries::extremes(qsizetype first, qsizetype last) const
{
    // Whole blocks from firstBlock to lastBlock lie inside the range.
    const qsizetype firstBlock = (first + BlockSize - 1) / BlockSize;
    const qsizetype lastBlock = (last + 1) / BlockSize - 1;
    if (firstBlock > lastBlock)
        return scan(first, last);

    // Bottom-up over the levels: the left part is joined left to right, the
    // right part right to left, so that ties keep the lowest index.
    Extremes left = scan(first, firstBlock * BlockSize - 1);
    Extremes right = scan((lastBlock + 1) * BlockSize, last);
    qsizetype l = firstBlock;
    qsizetype r = lastBlock;
    for (std::size_t level = 0; l <= r; ++level, l /= 2, r /= 2) {
        const std::vector<Extremes> &entries = m_levels[level];
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
    return joined(left, right);
}
