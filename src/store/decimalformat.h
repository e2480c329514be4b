#pragma once

#include <QString>

// A number with exactly one decimal and at least one digit before the point
// ("0.0" pattern), rounded half away from zero on the decimal value as it
// reads in 15 significant digits, so 0.15 gives "0.2" although the double
// lies just below 0.15. A value that rounds to zero shows as "0.0".
QString formatOneDecimal(double value);
