#pragma once

#include <QStringList>

// kelvora-cli convert IN.klg -o OUT [--unit C|F]: reads a log file as the
// data view does and writes it as a log file, CSV or spreadsheet.
int runConvert(const QStringList &arguments);
