#pragma once

#include <QString>

class TForm6;

// Reading a log file on the command line, as the data view reads one.
namespace LogLoad {

// The unit of the file's first record line, by its last character as the
// reader takes it ("C" Celsius, anything else Fahrenheit); Celsius when the
// file holds no record line.
bool firstRecordCelsius(const QString &path);

// Loads the log file at path into LoadData of link (emptied first) through
// the program's log-file reader, in the unit given. Throws KelvoraError with
// the reader's error, or saying that the file is no log file.
void intoLoadData(const QString &path, TForm6 &link, bool celsius);

} // namespace LogLoad
