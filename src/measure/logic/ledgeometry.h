#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

// Geometry of the seven-segment LED display: every character cell is drawn
// from polygons computed out of the cell width W, the cell height H (always
// odd) and the segment thickness T.
namespace LedGeometry {

// Polygon numbers of a cell. Lists of polygons are texts of these digits.
enum PolygonIndex { Top, UpperRight, LowerRight, Bottom, LowerLeft, UpperLeft, Middle, DecimalPoint };

// Six vertices in drawing order, repeated vertices included.
using Polygon = std::array<QPoint, 6>;
using CellPolygons = std::array<Polygon, 8>;

// The unlit pattern every cell shows: all seven segments, then the point.
inline const QString UnlitPolygons = QStringLiteral("01234567");

struct Metrics {
    int offSetX = 4; // left margin, and right margin when auto-sized
    int offSetY = 4; // top margin, and bottom margin when auto-sized
    int wordWidth = 17;
    int wordHeight = 29;
    int thick = 3;
    int space = 4; // gap between two cells
};

// Setter rules; each checks a new value against the current geometry.
bool acceptsWordWidth(int value, int thick);
// The odd height stored for value, or nothing when value is refused.
std::optional<int> wordHeightFor(int value, int thick);
bool acceptsThick(int value, int wordWidth, int wordHeight);

// Polygons of the cell whose top left corner is cell.
CellPolygons BuildSegments(QPoint cell, const Metrics &metrics);

// Top left corner of cell index (from 0).
QPoint cellOrigin(const Metrics &metrics, int index);
// Size that holds cellCount cells with the margins on every side.
QSize fittedSize(const Metrics &metrics, int cellCount);

// A text split into its cells: the first "." takes no cell of its own but
// marks the cell before it; further "." are ordinary characters.
struct Cells {
    QString chars;
    int pointCell = -1; // cell followed by the first ".", -1 when none
};
Cells splitText(const QString &text);

// Polygons lit in a cell showing c: a digit's segments, plus the decimal
// point when pointed; the middle segment for "-"; nothing for any other
// character.
QString litPolygons(QChar c, bool pointed);

} // namespace LedGeometry
