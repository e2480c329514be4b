#include "printrectangle.h"

#include <cmath>

namespace {

int percentOf(int length, int percent)
{
    return int(std::lround(double(length) * percent / 100.0));
}

} // namespace

QRect printRectangle(QSize page, const PrintMargins &margins)
{
    const int left = percentOf(page.width(), margins.left);
    const int right = page.width() - percentOf(page.width(), margins.right);
    const int top = percentOf(page.height(), margins.top);
    const int bottom = page.height() - percentOf(page.height(), margins.bottom);
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}
