#pragma once

#include "store/gridcolouring.h"

#include <QColor>

// The system's desktop colour, behind the grids' white text and the colour of
// the eighth data view file. Linux has no such system colour, so it is fixed.
QColor desktopColour();

// The colour a CellColour stands for; invalid for CellColour::Default.
QColor toColor(CellColour colour);
