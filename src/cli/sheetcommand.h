#pragma once

#include <QStringList>

// kelvora-cli sheet IN.klg -o OUT.pdf [--unit C|F]: the data sheet of a log
// file, printed through the report layout to a PDF file.
int runSheet(const QStringList &arguments);
