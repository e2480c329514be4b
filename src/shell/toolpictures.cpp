#include "picturedrawing.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace PictureDrawing {

namespace {

const QColor Ink(0x2f, 0x36, 0x40);
const QColor PaperEdge(0x7b, 0x87, 0x94);

// A sheet of paper with its top right corner folded over.
void page(QPainter &p, const QRectF &r)
{
    const qreal fold = 5.5;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(outline(PaperEdge));
    p.setBrush(vertical(r.top(), r.bottom(), Qt::white, QColor(0xe9, 0xee, 0xf3)));
    p.drawPath(sheet);

    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xd3, 0xdb, 0xe3));
    p.drawPath(corner);
}

// Grey lines of text across a page.
void textLines(QPainter &p, qreal left, qreal right, qreal top, int count)
{
    p.setPen(outline(QColor(0xa3, 0xae, 0xba)));
    for (int i = 0; i < count; ++i)
        p.drawLine(QLineF(left, top + 3 * i, right - (i % 3 == 2 ? 4 : 0), top + 3 * i));
}

// A monitor with its stand; returns the screen's rectangle.
QRectF monitor(QPainter &p, const QRectF &bezel)
{
    const qreal mid = bezel.center().x();
    const qreal foot = bezel.bottom() + 4;
    QPolygonF neck({{mid - 3, bezel.bottom()}, {mid + 3, bezel.bottom()}, {mid + 4, foot}, {mid - 4, foot}});
    p.setPen(outline(QColor(0x4a, 0x53, 0x5e)));
    p.setBrush(vertical(bezel.bottom(), foot, QColor(0x9a, 0xa3, 0xad), QColor(0x5f, 0x68, 0x73)));
    p.drawPolygon(neck);
    p.drawRoundedRect(QRectF(mid - 7, foot, 14, 2.5), 1, 1);

    p.setPen(outline(QColor(0x2f, 0x35, 0x40)));
    p.setBrush(vertical(bezel.top(), bezel.bottom(), QColor(0x8c, 0x96, 0xa3), QColor(0x4a, 0x53, 0x60)));
    p.drawRoundedRect(bezel, 2, 2);
    return bezel.adjusted(2.5, 2.5, -2.5, -2.5);
}

} // namespace

void measure(QPainter &p)
{
    const QRectF screen = monitor(p, QRectF(2.5, 3.5, 27, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(screen.top(), screen.bottom(), QColor(0x10, 0x26, 0x3c), QColor(0x07, 0x12, 0x1e)));
    p.drawRect(screen);

    p.setPen(QPen(QColor(0x2a, 0x4d, 0x6b), 0.6));
    for (qreal x = screen.left() + 5.5; x < screen.right(); x += 5.5)
        p.drawLine(QLineF(x, screen.top(), x, screen.bottom()));
    for (qreal y = screen.top() + 4.5; y < screen.bottom(); y += 4.5)
        p.drawLine(QLineF(screen.left(), y, screen.right(), y));

    QPainterPath curve;
    curve.moveTo(screen.left() + 0.5, screen.bottom() - 3);
    curve.cubicTo(screen.left() + 5, screen.top() - 1, screen.left() + 8, screen.bottom() + 2,
                  screen.center().x() + 1, screen.center().y());
    curve.cubicTo(screen.center().x() + 5, screen.top() - 2, screen.right() - 4, screen.top() + 6,
                  screen.right() - 0.5, screen.top() + 2.5);
    p.setBrush(Qt::NoBrush);
    p.save();
    p.setClipRect(screen);
    p.setPen(outline(QColor(0x3d, 0xff, 0x5a, 0x60), 3.2));
    p.drawPath(curve);
    p.setPen(outline(QColor(0x5d, 0xf2, 0x6c), 1.6));
    p.drawPath(curve);
    p.restore();
}

void filmReel(QPainter &p)
{
    // The film leaves the reel at its bottom, towards the right.
    const QRectF strip(13, 23.5, 18.5, 7);
    p.setPen(outline(QColor(0x22, 0x1a, 0x14)));
    p.setBrush(vertical(strip.top(), strip.bottom(), QColor(0x5a, 0x46, 0x38), QColor(0x33, 0x27, 0x1f)));
    p.drawRect(strip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xe6, 0xc8));
    for (qreal x = strip.left() + 2; x < strip.right() - 1; x += 3.2) {
        p.drawRect(QRectF(x, strip.top() + 1, 1.6, 1.3));
        p.drawRect(QRectF(x, strip.bottom() - 2.3, 1.6, 1.3));
    }
    p.setBrush(QColor(0xd9, 0x9a, 0x3c));
    for (qreal x = strip.left() + 1.5; x < strip.right() - 4; x += 5.5)
        p.drawRect(QRectF(x, strip.top() + 2.8, 4.5, strip.height() - 5.6));

    const QPointF centre(14, 13.5);
    const qreal radius = 12.5;
    QRadialGradient metal(centre.x() - 4, centre.y() - 5, radius * 1.6);
    metal.setColorAt(0, QColor(0xf4, 0xf7, 0xfa));
    metal.setColorAt(0.6, QColor(0xb9, 0xc2, 0xcc));
    metal.setColorAt(1, QColor(0x75, 0x80, 0x8c));
    p.setPen(outline(QColor(0x45, 0x4f, 0x5a)));
    p.setBrush(metal);
    p.drawEllipse(centre, radius, radius);

    p.setPen(outline(QColor(0x2a, 0x31, 0x39), 0.8));
    p.setBrush(vertical(centre.y() - radius, centre.y() + radius, QColor(0x4a, 0x54, 0x60),
                        QColor(0x25, 0x2b, 0x32)));
    for (int k = 0; k < 5; ++k) {
        const qreal angle = (-90 + 72 * k) * M_PI / 180;
        p.drawEllipse(QPointF(centre.x() + 7 * std::cos(angle), centre.y() + 7 * std::sin(angle)), 3.3, 3.3);
    }
    p.setBrush(QColor(0x8a, 0x95, 0xa1));
    p.drawEllipse(centre, 2.2, 2.2);
    p.setBrush(QColor(0x2a, 0x31, 0x39));
    p.drawEllipse(centre, 0.8, 0.8);
}

void openFolder(QPainter &p)
{
    const QColor edge(0x8a, 0x5a, 0x0c);
    QPainterPath back;
    back.moveTo(2.5, 6.5);
    back.lineTo(11, 6.5);
    back.lineTo(13.5, 9.5);
    back.lineTo(27.5, 9.5);
    back.lineTo(27.5, 27.5);
    back.lineTo(2.5, 27.5);
    back.closeSubpath();
    p.setPen(outline(edge));
    p.setBrush(vertical(6, 28, QColor(0xe6, 0xa8, 0x2c), QColor(0xb8, 0x78, 0x10)));
    p.drawPath(back);

    p.setPen(outline(QColor(0x9a, 0xa4, 0xae)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 11.5, 18, 12));
    textLines(p, 9, 22, 14.5, 2);

    QPolygonF front({{7, 15.5}, {31, 15.5}, {27, 27.5}, {1.5, 27.5}});
    p.setPen(outline(edge));
    p.setBrush(vertical(15, 28, QColor(0xff, 0xdf, 0x7a), QColor(0xf0, 0xb0, 0x22)));
    p.drawPolygon(front);
}

void diskette(QPainter &p)
{
    QPainterPath body;
    body.moveTo(3.5, 3.5);
    body.lineTo(25, 3.5);
    body.lineTo(28.5, 7);
    body.lineTo(28.5, 28.5);
    body.lineTo(3.5, 28.5);
    body.closeSubpath();
    p.setPen(outline(QColor(0x12, 0x2c, 0x58)));
    p.setBrush(vertical(3, 29, QColor(0x46, 0x7e, 0xc8), QColor(0x1c, 0x45, 0x85)));
    p.drawPath(body);

    p.setPen(outline(QColor(0x6f, 0x7a, 0x86)));
    p.setBrush(vertical(3, 13, QColor(0xf1, 0xf4, 0xf7), QColor(0xa4, 0xae, 0xb9)));
    p.drawRect(QRectF(9.5, 3.5, 14, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x4f, 0x8a));
    p.drawRect(QRectF(18.5, 5.5, 3, 5));

    p.setPen(outline(QColor(0xc4, 0xcd, 0xd8)));
    p.setBrush(vertical(16, 28, Qt::white, QColor(0xec, 0xf0, 0xf4)));
    p.drawRect(QRectF(7.5, 16.5, 17, 12));
    p.setPen(outline(QColor(0x8d, 0xb3, 0xe2)));
    for (qreal y = 19.5; y < 28; y += 3)
        p.drawLine(QLineF(10, y, 22, y));
}

void spreadsheet(QPainter &p)
{
    const QRectF sheet(4.5, 2.5, 23, 27);
    page(p, sheet);
    const QRectF grid(7.5, 10.5, 17, 16);
    const qreal row = 3.2;
    const qreal firstColumn = 4;

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x8a, 0x43));
    p.drawRect(QRectF(grid.left(), grid.top(), grid.width(), row));
    p.setBrush(QColor(0xc8, 0xea, 0xd1));
    p.drawRect(QRectF(grid.left(), grid.top() + row, firstColumn, grid.height() - row));

    p.setPen(outline(QColor(0x74, 0xb8, 0x88), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(grid);
    for (qreal y = grid.top() + row; y < grid.bottom(); y += row)
        p.drawLine(QLineF(grid.left(), y, grid.right(), y));
    for (qreal x = grid.left() + firstColumn; x < grid.right(); x += (grid.width() - firstColumn) / 3)
        p.drawLine(QLineF(x, grid.top(), x, grid.bottom()));
}

void printer(QPainter &p)
{
    p.setPen(outline(QColor(0x8a, 0x94, 0x9e)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 2.5, 15, 12));
    textLines(p, 11, 21, 5.5, 2);

    const QRectF body(2.5, 11.5, 27, 12);
    p.setPen(outline(QColor(0x44, 0x4d, 0x57)));
    p.setBrush(vertical(body.top(), body.bottom(), QColor(0xdd, 0xe2, 0xe7), QColor(0x86, 0x91, 0x9d)));
    p.drawRoundedRect(body, 2.5, 2.5);
    p.setPen(outline(QColor(0x55, 0x5e, 0x68)));
    p.drawLine(QLineF(7, 15.5, 25, 15.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0xc2, 0x4b));
    p.drawEllipse(QPointF(25.5, 19.5), 1.3, 1.3);

    p.setPen(outline(QColor(0x8a, 0x94, 0x9e)));
    p.setBrush(vertical(19, 30, Qt::white, QColor(0xee, 0xf1, 0xf4)));
    p.drawRect(QRectF(7.5, 19.5, 17, 10));
    textLines(p, 10, 22, 22.5, 3);
}

void controlPanel(QPainter &p)
{
    const QRectF panel(2.5, 2.5, 24, 21);
    p.setPen(outline(QColor(0x4d, 0x5b, 0x69)));
    p.setBrush(vertical(panel.top(), panel.bottom(), QColor(0xf4, 0xf7, 0xfa), QColor(0xc5, 0xd0, 0xdb)));
    p.drawRoundedRect(panel, 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(panel.top(), panel.top() + 4, QColor(0x5b, 0x9b, 0xe6), QColor(0x2d, 0x6c, 0xc0)));
    p.drawRect(QRectF(panel.left() + 0.5, panel.top() + 0.5, panel.width() - 1, 4));

    // Three sliders with their knobs at different heights.
    const qreal knobs[] = {16, 11, 14};
    for (int i = 0; i < 3; ++i) {
        const qreal x = 7.5 + 5 * i;
        p.setPen(outline(QColor(0x56, 0x62, 0x6f)));
        p.drawLine(QLineF(x, 9, x, 20));
        p.setPen(outline(QColor(0x8a, 0x3b, 0x12), 0.8));
        p.setBrush(
            vertical(knobs[i] - 1.5, knobs[i] + 1.5, QColor(0xff, 0x9a, 0x55), QColor(0xe0, 0x5a, 0x1c)));
        p.drawRoundedRect(QRectF(x - 2, knobs[i] - 1.5, 4, 3), 0.8, 0.8);
    }

    // The gear wheel in front of the panel's bottom right corner.
    const QPointF centre(22.5, 22.5);
    const int teeth = 8;
    const qreal outer = 8.5, inner = 6.3;
    QPolygonF gear;
    for (int k = 0; k < teeth; ++k) {
        const qreal a = 2 * M_PI * k / teeth;
        const qreal half = M_PI / teeth;
        for (const auto &[angle, r] : {std::pair{a - half * 0.95, inner}, std::pair{a - half * 0.45, outer},
                                       std::pair{a + half * 0.45, outer}, std::pair{a + half * 0.95, inner}})
            gear << QPointF(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
    }
    QRadialGradient steel(centre.x() - 3, centre.y() - 3, outer * 1.5);
    steel.setColorAt(0, QColor(0xe3, 0xe8, 0xed));
    steel.setColorAt(1, QColor(0x5e, 0x69, 0x75));
    p.setPen(outline(QColor(0x33, 0x3b, 0x44)));
    p.setBrush(steel);
    p.drawPolygon(gear);
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    p.drawEllipse(centre, 2.4, 2.4);
}

void helpDocument(QPainter &p)
{
    page(p, QRectF(3.5, 2.5, 21, 26));
    textLines(p, 6.5, 21, 8.5, 4);

    // A person in front of the page's bottom right corner.
    const QPointF head(23, 18.5);
    QPainterPath shoulders;
    shoulders.moveTo(15.5, 31);
    shoulders.cubicTo(15.5, 24, 18.5, 22.8, 23, 22.8);
    shoulders.cubicTo(27.5, 22.8, 30.5, 24, 30.5, 31);
    shoulders.closeSubpath();
    p.setPen(outline(QColor(0x16, 0x44, 0x86)));
    p.setBrush(vertical(22, 31, QColor(0x4f, 0x93, 0xe8), QColor(0x1f, 0x5c, 0xb4)));
    p.drawPath(shoulders);
    p.setPen(outline(QColor(0x8a, 0x5a, 0x3c)));
    p.setBrush(vertical(head.y() - 3.5, head.y() + 3.5, QColor(0xfb, 0xd6, 0xae), QColor(0xe8, 0xae, 0x7c)));
    p.drawEllipse(head, 3.6, 3.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x3a, 0x24));
    p.drawChord(QRectF(head.x() - 3.6, head.y() - 3.8, 7.2, 7.6), 20 * 16, 140 * 16);
}

void aboutComputer(QPainter &p)
{
    const QRectF screen = monitor(p, QRectF(1.5, 3.5, 22, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(screen.top(), screen.bottom(), QColor(0xc6, 0xe4, 0xff), QColor(0x5c, 0x9c, 0xde)));
    p.drawRect(screen);

    const QPointF centre(23.5, 22.5);
    QRadialGradient blue(centre.x() - 2.5, centre.y() - 3, 10);
    blue.setColorAt(0, QColor(0x7c, 0xbc, 0xff));
    blue.setColorAt(1, QColor(0x15, 0x58, 0xb8));
    p.setPen(outline(QColor(0x0f, 0x3f, 0x88)));
    p.setBrush(blue);
    p.drawEllipse(centre, 7.5, 7.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(centre.x(), centre.y() - 3.8), 1.35, 1.35);
    p.drawRoundedRect(QRectF(centre.x() - 1.15, centre.y() - 1.4, 2.3, 6.4), 0.6, 0.6);
}

void powerSwitch(QPainter &p)
{
    const QPointF centre(16, 16);
    QRadialGradient red(centre.x() - 4, centre.y() - 5, 17);
    red.setColorAt(0, QColor(0xff, 0x8a, 0x78));
    red.setColorAt(0.45, QColor(0xe2, 0x2a, 0x1c));
    red.setColorAt(1, QColor(0x8e, 0x10, 0x08));
    p.setPen(outline(QColor(0x6e, 0x0c, 0x06)));
    p.setBrush(red);
    p.drawEllipse(centre, 13.5, 13.5);

    QPen symbol = outline(Qt::white, 2.6);
    p.setPen(symbol);
    p.setBrush(Qt::NoBrush);
    const qreal r = 6.8;
    p.drawArc(QRectF(centre.x() - r, centre.y() - r + 1, 2 * r, 2 * r), 125 * 16, 290 * 16);
    p.drawLine(QLineF(centre.x(), centre.y() - 8, centre.x(), centre.y() + 0.5));
}

} // namespace PictureDrawing
