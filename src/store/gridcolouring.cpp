#include "store/gridcolouring.h"

CellColour extremesColour(double meavalue, double maxReading, double minReading)
{
    CellColour colour = CellColour::Default;
    if (meavalue >= maxReading)
        colour = CellColour::Red;
    if (meavalue <= minReading)
        colour = CellColour::Purple;
    return colour;
}

CellColour fileColour(int file)
{
    static constexpr CellColour FileColours[] = {
        CellColour::Blue,       CellColour::Green,        CellColour::Navy,   CellColour::Red,
        CellColour::Purple,     CellColour::ButtonShadow, CellColour::Maroon, CellColour::Desktop,
        CellColour::MoneyGreen, CellColour::Yellow};
    return file >= 0 && file < 10 ? FileColours[file] : CellColour::Default;
}

CellColour filesColour(qint64 recno, const FileBounds &bounds, bool tableBusy, bool tableEmpty)
{
    if (tableBusy || tableEmpty)
        return CellColour::Default;
    // Colour of file k + 1 for rows from bounds[k - 1] up to bounds[k]; an
    // unloaded file's bound of 0 makes its range empty. Each test stands on
    // its own, so a later match overrides an earlier one.
    CellColour colour = CellColour::Default;
    if (recno < bounds[0])
        colour = fileColour(0);
    for (int k = 1; k < 9; ++k)
        if (bounds[k - 1] <= recno && recno < bounds[k])
            colour = fileColour(k);
    if (recno >= bounds[8] && bounds[8] > bounds[7])
        colour = fileColour(9);
    return colour;
}
