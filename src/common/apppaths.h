#pragma once

#include <QString>

// Where the program finds its own files. It reads the report layout, help
// file and alarm sounds beside its executable. The files it writes for
// itself (settings file, staging file) lie there too when that folder is
// writable (a build directory, a portable copy); installed in a folder only
// an administrator may write, they go to the user's configuration folder
// "Kelvora" instead. Tests point the executable's folder elsewhere.
namespace AppPaths {
QString executableDir();
void setExecutableDir(const QString &dir); // empty restores the real one
QString besideExecutable(const QString &fileName);
// The path of a file the program writes for itself: beside the executable
// when its folder may be written, else in "$XDG_CONFIG_HOME/Kelvora" (by
// default "~/.config/Kelvora"), which is created when it is missing.
QString ownFile(const QString &fileName);
} // namespace AppPaths
