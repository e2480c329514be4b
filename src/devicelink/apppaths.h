#pragma once

#include <QString>

// Where the program finds the files that lie beside its executable (settings
// file, report layout, help file, staging file). Tests point it elsewhere.
namespace AppPaths {
QString executableDir();
void setExecutableDir(const QString &dir); // empty restores the real one
QString besideExecutable(const QString &fileName);
} // namespace AppPaths
