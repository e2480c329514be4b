#include "picturedrawing.h"

#include <QPainterPath>

namespace PictureDrawing {

void thermometer(QPainter &p)
{
    // A pistol-shaped instrument aiming to the left, with its red sighting beam.
    p.setPen(outline(QColor(0xe0, 0x1e, 0x1e), 0.8));
    p.drawLine(QLineF(0.4, 5.5, 2, 5.5));

    QPolygonF grip({{7.5, 8}, {11.5, 8}, {14.5, 15.5}, {10.5, 15.5}});
    p.setPen(outline(QColor(0x1e, 0x22, 0x27)));
    p.setBrush(vertical(8, 16, QColor(0x5a, 0x61, 0x6a), QColor(0x2c, 0x31, 0x37)));
    p.drawPolygon(grip);
    p.drawLine(QLineF(6.5, 8.5, 6.5, 10.5));

    const QRectF body(2.5, 2.5, 13, 6);
    p.setPen(outline(QColor(0x6b, 0x46, 0x00)));
    p.setBrush(vertical(body.top(), body.bottom(), QColor(0xff, 0xd8, 0x4a), QColor(0xe8, 0x94, 0x00)));
    p.drawRoundedRect(body, 2, 2);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x25, 0x2a, 0x30));
    p.drawRect(QRectF(2, 3.5, 2, 4));
    p.setBrush(QColor(0x9c, 0xe6, 0xa4));
    p.drawRect(QRectF(10, 4, 4, 2));
}

void computer(QPainter &p)
{
    p.setPen(outline(QColor(0x3c, 0x44, 0x4e)));
    p.setBrush(vertical(11, 15, QColor(0xa4, 0xad, 0xb7), QColor(0x6a, 0x74, 0x7f)));
    p.drawRect(QRectF(6.5, 10.5, 3, 2));
    p.drawRoundedRect(QRectF(3.5, 12.5, 9, 2), 0.8, 0.8);

    const QRectF bezel(1.5, 1.5, 13, 9);
    p.setBrush(vertical(bezel.top(), bezel.bottom(), QColor(0x8c, 0x96, 0xa3), QColor(0x4a, 0x53, 0x60)));
    p.drawRoundedRect(bezel, 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(3, 9, QColor(0xc6, 0xe4, 0xff), QColor(0x4a, 0x8c, 0xd6)));
    p.drawRect(bezel.adjusted(1.5, 1.5, -1.5, -1.5));
}

} // namespace PictureDrawing
