#pragma once

#include <QStringList>

// kelvora-cli log --port P --rate N [--duration T] [-o FILE] [--unit C|F]
// [--save-every T]: a live run as the measurement window makes it, each
// reading printed on stdout as it arrives; Ctrl-C, SIGTERM or the duration
// end it, and FILE is written at the end (a .klg also during the run).
int runLog(const QStringList &arguments);
