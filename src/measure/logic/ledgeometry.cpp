#include "ledgeometry.h"

namespace LedGeometry {

namespace {

// Segments of the digits 0 to 9, in drawing order.
const char *const DigitSegments[10] = {"012345", "12",     "01643", "01623",   "5612",
                                       "05623",  "054326", "012",   "0123456", "650123"};
const char MinusSegments[] = "6";

// A trapezoid closes on its fourth vertex, repeated to fill six.
Polygon trapezoid(QPoint a, QPoint b, QPoint c, QPoint d)
{
    return {a, b, c, d, d, d};
}

} // namespace

bool acceptsWordWidth(int value, int thick)
{
    return value > 2 * thick;
}

std::optional<int> wordHeightFor(int value, int thick)
{
    if (value < 4 * thick)
        return std::nullopt;
    // 4T is even, so an even value - 4T + 1 means an odd value.
    return (value - 4 * thick + 1) % 2 == 0 ? value : value + 1;
}

bool acceptsThick(int value, int wordWidth, int wordHeight)
{
    return 2 * value < wordWidth && 4 * value - 1 < wordHeight && (wordHeight - 4 * value + 1) % 2 == 0;
}

CellPolygons BuildSegments(QPoint cell, const Metrics &metrics)
{
    const int x = cell.x();
    const int y = cell.y();
    const int w = metrics.wordWidth;
    const int h = metrics.wordHeight;
    const int t = metrics.thick;
    const int m = (h - 1) / 2; // the middle row is y + m
    // The right-hand segments end at x + w - t - 2, leaving room for the point.
    CellPolygons polygons = {{
        trapezoid({x + 2, y}, {x + t + 1, y + t - 1}, {x + w - 2 * t - 3, y + t - 1}, {x + w - t - 4, y}),
        trapezoid({x + w - t - 2, y + 1}, {x + w - 2 * t - 1, y + t}, {x + w - 2 * t - 1, y + m - t},
                  {x + w - t - 2, y + m - 1}),
        trapezoid({x + w - t - 2, y + m + 1}, {x + w - 2 * t - 1, y + m + t},
                  {x + w - 2 * t - 1, y + h - t - 1}, {x + w - t - 2, y + h - 2}),
        trapezoid({x + w - t - 4, y + h - 1}, {x + w - 2 * t - 3, y + h - t}, {x + t + 1, y + h - t},
                  {x + 2, y + h - 1}),
        trapezoid({x, y + h - 2}, {x + t - 1, y + h - t - 1}, {x + t - 1, y + m + t}, {x, y + m + 1}),
        trapezoid({x, y + m - 1}, {x + t - 1, y + m - t}, {x + t - 1, y + t}, {x, y + 1}),
        {{{x + t, y + m - t + 2},
          {x + 2, y + m},
          {x + t, y + m + t - 2},
          {x + w - 2 * t - 2, y + m + t - 2},
          {x + w - t - 4, y + m},
          {x + w - 2 * t - 2, y + m - t + 2}}},
        {{{x + w - t, y + h - t},
          {x + w - t, y + h},
          {x + w, y + h},
          {x + w, y + h - t},
          {x + w - t, y + h - t},
          {x + w - t, y + h - t}}},
    }};
    if (t == 1) {
        // One pixel thick, the hexagon would cross itself: it becomes a line
        // on the middle row.
        const QPoint left(x + 2, y + m);
        const QPoint right(x + w - 5, y + m);
        polygons[Middle] = {left, left, left, right, right, right};
    }
    return polygons;
}

QPoint cellOrigin(const Metrics &metrics, int index)
{
    return {metrics.offSetX + index * (metrics.wordWidth + metrics.space), metrics.offSetY};
}

QSize fittedSize(const Metrics &metrics, int cellCount)
{
    return {cellCount * metrics.wordWidth + (cellCount - 1) * metrics.space + 2 * metrics.offSetX,
            2 * metrics.offSetY + metrics.wordHeight};
}

Cells splitText(const QString &text)
{
    Cells cells{text, -1};
    const int point = text.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        cells.chars.remove(point, 1);
        cells.pointCell = point - 1;
    }
    return cells;
}

QString litPolygons(QChar c, bool pointed)
{
    if (c == QLatin1Char('-'))
        return QLatin1String(MinusSegments);
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        return {};
    QString polygons = QLatin1String(DigitSegments[c.unicode() - '0']);
    if (pointed)
        polygons += QString::number(DecimalPoint);
    return polygons;
}

} // namespace LedGeometry
