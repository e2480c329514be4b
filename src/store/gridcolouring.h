#pragma once

#include <QtGlobal>

#include <array>

// Background of a grid row (and colour of a data view series), named after
// the system colours; the windows map it to a real colour.
enum class CellColour {
    Default, // keep the grid's own colours
    Red,
    Purple,
    Blue,
    Green,
    Navy,
    Maroon,
    ButtonShadow,
    Desktop,
    MoneyGreen,
    Yellow,
};

// Measurement and import grids: the row at or above the window's maximum is
// red, at or below its minimum purple; purple wins when they are equal, as
// with a single row.
CellColour extremesColour(double meavalue, double maxReading, double minReading);

// Entry k (from 0) is the record number that follows the last row of file
// k + 1, or 0 while that file is not loaded.
using FileBounds = std::array<qint32, 10>;

// The colour of the data view's file number file (0 for the first of up to
// ten): blue, green, navy, red, purple, button shadow, maroon, desktop,
// money green, yellow. Its chart series and its grid rows share it.
CellColour fileColour(int file);

// Data view grid: each loaded file's rows get the colour of its series, found
// from the row's record number and the first nine file bounds. Nothing while
// the table is being filled (tableBusy) or when it holds no rows.
CellColour filesColour(qint64 recno, const FileBounds &bounds, bool tableBusy, bool tableEmpty);
