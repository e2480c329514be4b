#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPainter>

// Drawing code of the pictures. Each function draws into a square of
// ToolPictureSize or StatusPictureSize units; the caller scales the painter.
namespace PictureDrawing {

void measure(QPainter &p);
void filmReel(QPainter &p);
void openFolder(QPainter &p);
void diskette(QPainter &p);
void spreadsheet(QPainter &p);
void printer(QPainter &p);
void controlPanel(QPainter &p);
void helpDocument(QPainter &p);
void aboutComputer(QPainter &p);
void powerSwitch(QPainter &p);

void thermometer(QPainter &p);
void computer(QPainter &p);

// A top-to-bottom colour run between two heights.
inline QLinearGradient vertical(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A one-unit outline in the given colour.
inline QPen outline(const QColor &color, qreal width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

} // namespace PictureDrawing
