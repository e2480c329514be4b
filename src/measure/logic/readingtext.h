#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The texts and numbers the measurement window makes of one reading, kept
// free of widgets so they can be checked case by case.
namespace ReadingText {

// The reading (tenths of a degree Celsius) in the window's unit with exactly
// one decimal: the shortest decimal text, two decimals cut (not rounded) to
// one, ".0" added to a whole number. 237 in Fahrenheit gives "74.6".
QString valueText(qint32 tenthsCelsius, bool celsius);

// The display text: right-aligned in six characters, longer texts whole.
QString ledText(const QString &value);

// Emissivity in hundredths as its shortest decimal text: 95 gives "0.95".
QString emissivityText(qint16 hundredths);

// The display placeholder for a unit: "  00.0" for Celsius, "  32.0" else.
QString ledPlaceholder(bool celsius);
QString unitLetter(bool celsius);

// The sample-rate box holds at most this many characters of the user's.
constexpr int RateBoxLength = 4;

// The sample-rate box: a typed control character (codes up to 31, DEL) or
// digit 1..9 passes, any other character becomes "0".
QChar filterRateKey(QChar typed);

// An edit of the sample-rate box, however the text came in (typed, pasted,
// dropped, composed): before is the box's text, after what the edit made of
// it. What the edit brought in passes filterRateKey, control characters are
// dropped, and it is cut so that the box holds at most four characters; the
// characters that were there stay as they were (the spin control's "1,000").
QString rateBoxEdit(const QString &before, const QString &after);

// The rate in the box: blanks trimmed; a text holding "," is taken as its
// first character and its last three (the spin box's "1,000"); not a number
// gives 0.
int rateFromText(const QString &text);

// The two footer lines of the chart. dateLabel is "Date:" after a reading
// and "DATE:" after a unit change.
QStringList footerLines(double maxReading, double minReading, const QString &average,
                        const QString &dateLabel, const QString &date);

} // namespace ReadingText
