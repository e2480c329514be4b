#pragma once

#include <QByteArray>
#include <QStringView>

// The text in Windows-1252, the code page a spreadsheet reader assumes for
// a sheet that names none. A character the code page cannot hold becomes
// "?", one for each character (a pair of surrogates is one character).
QByteArray toWindows1252(QStringView text);
