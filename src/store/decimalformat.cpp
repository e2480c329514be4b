#include "store/decimalformat.h"

#include <charconv>
#include <cmath>

namespace {

// The value as it reads in 15 significant digits ("%.15g"), read back.
double fifteenDigits(double value)
{
    char text[32];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    double read = value;
    std::from_chars(text, written.ptr, read);
    return read;
}

} // namespace

double roundOneDecimal(double value)
{
    // Fifteen significant digits absorb the binary error of the value and of
    // the scaling, so a tenth-and-a-half lands exactly on .5 before rounding.
    const double tenths = std::round(fifteenDigits(std::fabs(value) * 10.0));
    // A whole number of tenths divided by ten is the double nearest to that
    // decimal, as reading its text back would give; a value that rounds to
    // zero is a plain zero.
    return value < 0 && tenths != 0.0 ? -tenths / 10.0 : tenths / 10.0;
}

QString formatOneDecimal(double value)
{
    return QString::number(roundOneDecimal(value), 'f', 1);
}

QString formatShortest(double value)
{
    return QString::number(value, 'g', 15);
}
