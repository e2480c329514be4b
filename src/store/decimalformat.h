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

// The number in text as QStringView::toDouble reads it (C locale, no group
// separators, 0 when *ok turns false); plain decimals such as "-25.3" are read
// without the cost of the general parser.
double readDecimal(QStringView text, bool *ok);
