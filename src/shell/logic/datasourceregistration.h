#pragma once

#include <QString>

// Registers the ODBC data source "Kelvora" over the database file in the
// working directory, so that ODBC tools open the same data as the program.
namespace DataSourceRegistration {

constexpr const char *DataSourceName = "Kelvora";
constexpr const char *Description = "Quellmarkon Data Source";
// The name Debian's SQLite 3 ODBC driver has in the system's driver list.
constexpr const char *UnixDriver = "SQLite3";
constexpr const char *FailureText = "Register file operation fail\rPlease check up your operation system";
constexpr const char *FailureCaption = "Error Information";

// The unixODBC user data source file: $ODBCINI when set, else ~/.odbc.ini.
QString userDataSourceFile();

// Writes the data source into the unixODBC file at odbcIniPath for the
// database in workingDir, keeping every other line of the file. Creates the
// file but not its folder. False when the file cannot be read or written.
bool writeUnixOdbcIni(const QString &odbcIniPath, const QString &workingDir);

} // namespace DataSourceRegistration

// Registers the data source for the current working directory (on Windows in
// the registry, elsewhere in the unixODBC user file). A failure is told to the
// user through Dialogs; the caller goes on either way.
void RegisterDataSource();
