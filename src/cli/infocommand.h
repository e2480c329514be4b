#pragma once

#include <QStringList>

// kelvora-cli info --port P: asks the thermometer for its settings and
// prints them, one "Name: value" a line.
int runInfo(const QStringList &arguments);
