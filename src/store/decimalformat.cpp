#include "store/decimalformat.h"

#include <algorithm>
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

constexpr int ShortestBufferSize = 32;

// The general format of value in text without the cost of QString::number,
// where that is sure to give the same: the shortest decimal that reads back
// as value, written without exponent, with at most 15 significant digits.
// Within these magnitudes the general format writes no exponent, and a
// shortest form of up to 15 digits is also the value rounded to 15 digits.
// Returns the length, or 0 where the general formatter must decide.
int plainShortest(double value, char (&text)[ShortestBufferSize])
{
    if (value == 0.0 && !std::signbit(value)) {
        text[0] = '0';
        return 1;
    }
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-3 && magnitude < 1e14))
        return 0;
    const std::to_chars_result written =
        std::to_chars(text, text + ShortestBufferSize, value, std::chars_format::fixed);
    if (written.ec != std::errc())
        return 0;
    int significant = 0;
    bool leading = true;
    for (const char *c = text; c != written.ptr; ++c) {
        if (*c < '0' || *c > '9')
            continue;
        leading = leading && *c == '0';
        significant += leading ? 0 : 1;
    }
    return significant <= 15 ? int(written.ptr - text) : 0;
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// An optional sign, digits, and optionally a point followed by digits.
bool isPlainDecimal(QStringView text)
{
    qsizetype i = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    const qsizetype integerStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == integerStart)
        return false;
    if (i == text.size())
        return true;
    if (text[i] != QLatin1Char('.') || ++i == text.size())
        return false;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i == text.size();
}

} // namespace

double roundOneDecimal(double value)
{
    // Fifteen significant digits absorb the binary error of the value and of
    // the scaling, so a tenth-and-a-half lands exactly on .5 before rounding.
    // They move the scaled value by at most 5e-15 of it: a value farther than
    // that from a half rounds the same without them.
    const double scaled = std::fabs(value) * 10.0;
    const double fromHalf = std::fabs(scaled - std::floor(scaled) - 0.5);
    const double tenths =
        fromHalf > 1e-13 * std::max(scaled, 1.0) ? std::round(scaled) : std::round(fifteenDigits(scaled));
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
    char text[ShortestBufferSize];
    const int length = plainShortest(value, text);
    return length > 0 ? QString::fromLatin1(text, length) : QString::number(value, 'g', 15);
}

void appendShortest(QByteArray &out, double value)
{
    char text[ShortestBufferSize];
    const int length = plainShortest(value, text);
    if (length > 0)
        out.append(text, length);
    else
        out.append(QString::number(value, 'g', 15).toLatin1());
}

double readDecimal(QStringView text, bool *ok)
{
    if (ok)
        *ok = false;
    // Exponents, "inf" and "nan" are refused: a value such as 1e300 would
    // reach the tables and the charts' axes. Within this length a plain
    // decimal stays far from the double's limits, so a unit conversion of it
    // stays finite too.
    if (text.size() > MaxDecimalLength || !isPlainDecimal(text))
        return 0.0;
    if (text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    char bytes[MaxDecimalLength];
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = char(text[i].unicode());
    double value = 0.0;
    // Correctly rounded, as the general parser is.
    std::from_chars(bytes, bytes + text.size(), value);
    if (ok)
        *ok = true;
    return value;
}
