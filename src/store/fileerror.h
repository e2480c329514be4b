#pragma once

#include <QString>

class QFileDevice;

// Throws KelvoraError "Cannot <what> file <path>: <reason>" for a file that
// could not be opened, read or written.
[[noreturn]] void throwFileError(const QString &what, const QFileDevice &file);
[[noreturn]] void throwFileError(const QString &what, const QString &path, const QString &reason);
