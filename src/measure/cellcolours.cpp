#include "measure/cellcolours.h"

#include <QGuiApplication>
#include <QPalette>

QColor desktopColour()
{
    return QColor(0, 128, 128);
}

QColor toColor(CellColour colour)
{
    switch (colour) {
    case CellColour::Default: return QColor();
    case CellColour::Red: return QColor(255, 0, 0);
    case CellColour::Purple: return QColor(128, 0, 128);
    case CellColour::Blue: return QColor(0, 0, 255);
    case CellColour::Green: return QColor(0, 128, 0);
    case CellColour::Navy: return QColor(0, 0, 128);
    case CellColour::Maroon: return QColor(128, 0, 0);
    case CellColour::ButtonShadow: return QGuiApplication::palette().color(QPalette::Dark);
    case CellColour::Desktop: return desktopColour();
    case CellColour::MoneyGreen: return QColor(192, 220, 192);
    case CellColour::Yellow: return QColor(255, 255, 0);
    }
    return QColor();
}
