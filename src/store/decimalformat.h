#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// A number with exactly one decimal and at least one digit before the point
// ("0.0" pattern), rounded half away from zero on the decimal value as it
// reads in 15 significant digits, so 0.15 gives "0.2" although the double
// lies just below 0.15. A value that rounds to zero shows as "0.0".
QString formatOneDecimal(double value);

// The number formatOneDecimal shows, as a number: the value rounded to one
// decimal the same way.
double roundOneDecimal(double value);

// The general format of a number as the grids and log files show it: up to
// 15 significant digits, no trailing zeros, no thousands separator (25.3,
// 25 for 25.0, 0.95).
QString formatShortest(double value);

// The same text appended to out as ASCII bytes.
void appendShortest(QByteArray &out, double value);

// The longest number text that readDecimal accepts.
constexpr int MaxDecimalLength = 32;

// The number in a plain decimal text, the form the program writes: an
// optional sign, digits, and optionally a point followed by digits ("25",
// "-10.5", "0.95"), at most MaxDecimalLength characters. Anything else
// (blanks, exponents, "inf", "nan", ".5") gives 0 with *ok false.
double readDecimal(QStringView text, bool *ok);
