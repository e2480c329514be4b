#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

// Where the main window puts its child windows.
namespace ChildPlacement {

enum class Tiling { OneAboveTheOther, SideBySide };

// Splits area into count strips that fill it without gap or overlap and
// differ in size by one pixel at most.
QVector<QRect> tile(const QRect &area, int count, Tiling tiling);

// Top left corner of a window of the given size in the main window: centred
// across, a quarter of the spare height from the top (integer division).
QPoint dialogPosition(const QSize &mainSize, const QSize &windowSize);

} // namespace ChildPlacement
