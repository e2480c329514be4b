#include "store/decimalformat.h"

#include <cmath>

QString formatOneDecimal(double value)
{
    // Fifteen significant digits absorb the binary error of the value and of
    // the scaling, so a tenth-and-a-half lands exactly on .5 before rounding.
    const double tenths = std::round(QString::number(std::fabs(value) * 10.0, 'g', 15).toDouble());
    const QString digits = QString::number(tenths / 10.0, 'f', 1);
    return value < 0 && tenths != 0.0 ? QLatin1Char('-') + digits : digits;
}

QString formatShortest(double value)
{
    return QString::number(value, 'g', 15);
}
