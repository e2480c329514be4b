#pragma once

#include "store/measurerecord.h"

#include <QString>

// One record line of a log file taken apart by column.
struct LogLine {
    QString head;       // the first 20 characters: date, comma, time, comma
    QString emsColumns; // characters 28 to 31
    double celsius = 0.0;
    double fahrenheit = 0.0;
};

// The count of line 2: the text after its first ":" (the whole line when it
// has none). Throws ConversionError "'%s' is not a valid integer value".
int parseLogTotal(const QString &line);

// Reads the value in characters 21 to 26 (blanks around it allowed) in the
// unit of the line's last character: "C" is Celsius, anything else
// Fahrenheit. The other unit is computed and rounded to one decimal. Throws
// ConversionError "'%s' is not a valid floating point value" with those
// characters when they hold no number (shifted columns, an empty line).
LogLine parseLogLine(const QString &line);

// The LoadData row of a parsed line: its date and time, the value in the
// current unit with that unit's letter, its emissivity (0 when the columns
// hold no number) and record number recno.
MeasureRecord loadedRow(const LogLine &line, bool unitCelsius, qint64 recno);

// The staging file's line for that row: the head unchanged, the value padded
// to 6 characters, the emissivity columns unchanged, the unit letter and the
// record number, separated by commas.
QString stagingLine(const LogLine &line, const MeasureRecord &row);
