#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes as the whole content of the file at path, replacing any file
// of that name. The bytes go to a file beside it that is renamed over it only
// when complete, so a failed write leaves no partial file and the old one as
// it was. Throws KelvoraError naming the file when it cannot be written.
void writeWholeFile(const QString &path, const QByteArray &bytes);
