#pragma once

#include "store/measurerecord.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// One record line of a log file taken apart by column. The texts are views
// into the line, valid as long as it is.
struct LogLine {
    QStringView head;       // the first 20 characters: date, comma, time, comma
    QStringView date;       // the head before its first comma, without blanks around it
    QStringView time;       // the head between its first two commas, without blanks around it
    QStringView emsColumns; // characters 28 to 31
    double celsius = 0.0;
    double fahrenheit = 0.0;
};

// The count of line 2: the text after its first ":" (the whole line when it
// has none). Throws ConversionError "'%s' is not a valid integer value".
int parseLogTotal(QStringView line);

// Reads the value in characters 21 to 26 (blanks around it allowed) in the
// unit of the line's last character: "C" is Celsius, anything else
// Fahrenheit. The other unit is computed and rounded to one decimal. Throws
// ConversionError "'%s' is not a valid floating point value" with those
// characters when they hold no number (shifted columns, an empty line) or
// when the value runs on past them.
LogLine parseLogLine(QStringView line);

// The LoadData row of a parsed line: its date and time, the value in the
// current unit with that unit's letter, its emissivity (0 when the columns
// hold no number) and record number recno. A date equal to previousDate
// (that of the row before) shares its text.
MeasureRecord loadedRow(const LogLine &line, bool unitCelsius, qint64 recno, const QString &previousDate);

// Appends the staging file's line for that row, without line end, in UTF-8:
// the head unchanged, the value padded to 6 characters, the emissivity
// columns unchanged, the unit letter and the record number, separated by
// commas.
void appendStagingLine(QByteArray &out, const LogLine &line, const MeasureRecord &row);
