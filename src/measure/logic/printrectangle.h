#pragma once

#include <QRect>
#include <QSize>

// Margins of a printed chart in percent of the printable page.
struct PrintMargins {
    int left = 5;
    int top = 4;
    int right = 4;
    int bottom = 5;
};

// The part of a page of the given size that a chart is printed into:
// left = round(width * left / 100), right = width - round(width * right / 100),
// and the same for top and bottom with the height. right and bottom are
// exclusive edges: the rectangle is right - left wide.
QRect printRectangle(QSize page, const PrintMargins &margins);
