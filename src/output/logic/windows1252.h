#pragma once

#include <QStringView>

// Writes text in Windows-1252, the code page a spreadsheet reader assumes
// for a sheet that names none, into out: at most maxBytes bytes, one for
// each character. A character the code page cannot hold becomes "?" (a pair
// of surrogates is one character). Returns the bytes written.
qsizetype toWindows1252(QStringView text, char *out, qsizetype maxBytes);
