#pragma once

#include <QStringList>

// kelvora-cli download --port P -o FILE [--unit C|F]: downloads the records
// stored in the thermometer as the import window does and writes them to
// FILE (.klg, .csv, .xls or .xlsx).
int runDownload(const QStringList &arguments);
