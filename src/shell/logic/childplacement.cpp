#include "childplacement.h"

namespace ChildPlacement {

QVector<QRect> tile(const QRect &area, int count, Tiling tiling)
{
    QVector<QRect> strips;
    const bool stacked = tiling == Tiling::OneAboveTheOther;
    const int length = stacked ? area.height() : area.width();
    for (int i = 0; i < count; ++i) {
        const int from = static_cast<int>(static_cast<qint64>(length) * i / count);
        const int to = static_cast<int>(static_cast<qint64>(length) * (i + 1) / count);
        strips.append(stacked ? QRect(area.left(), area.top() + from, area.width(), to - from)
                              : QRect(area.left() + from, area.top(), to - from, area.height()));
    }
    return strips;
}

QPoint dialogPosition(const QSize &mainSize, const QSize &windowSize)
{
    return QPoint((mainSize.width() - windowSize.width()) / 2, (mainSize.height() - windowSize.height()) / 4);
}

} // namespace ChildPlacement
