#include "datasourceregistration.h"

#include "common/dialogs.h"
#include "devicelink/inidocument.h"
#include "store/kelvoradatabase.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

QString databasePath(const QString &workingDir)
{
    return QDir(workingDir).filePath(QLatin1String(KelvoraDatabase::DefaultFileName));
}

#ifdef Q_OS_WIN
// The SQLite 3 ODBC driver for Windows: the database is an SQLite file, which
// the Access driver cannot open.
const QString WindowsDriver = QStringLiteral("SQLite3 ODBC Driver");
const QString OdbcIniKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\ODBC\\ODBC.INI\\");

// Writes string values under a registry key; false when the key cannot be written.
bool writeRegistryKey(const QString &key, const QList<IniDocument::Entry> &values)
{
    QSettings settings(key, QSettings::NativeFormat);
    for (const IniDocument::Entry &entry : values)
        settings.setValue(entry.key, entry.value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool registerInRegistry(const QString &workingDir)
{
    using namespace DataSourceRegistration;
    const QString driverDll =
        QSettings(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\ODBC\\ODBCINST.INI\\") + WindowsDriver,
                  QSettings::NativeFormat)
            .value(QStringLiteral("Driver"))
            .toString();
    // Without the driver there is nothing a data source could be opened with;
    // without write access to the list of data sources (no administrator
    // rights) there is nothing to register in. Neither is worth a message.
    if (driverDll.isEmpty() || !writeRegistryKey(OdbcIniKey + QStringLiteral("ODBC Data Sources"),
                                                 {{QLatin1String(DataSourceName), WindowsDriver}}))
        return true;
    return writeRegistryKey(OdbcIniKey + QLatin1String(DataSourceName),
                            {{QStringLiteral("Database"), QDir::toNativeSeparators(databasePath(workingDir))},
                             {QStringLiteral("Description"), QLatin1String(Description)},
                             {QStringLiteral("Driver"), driverDll}});
}
#endif

} // namespace

QString DataSourceRegistration::userDataSourceFile()
{
    const QString fromEnvironment = qEnvironmentVariable("ODBCINI");
    return fromEnvironment.isEmpty() ? QDir::home().filePath(QStringLiteral(".odbc.ini")) : fromEnvironment;
}

bool DataSourceRegistration::writeUnixOdbcIni(const QString &odbcIniPath, const QString &workingDir)
{
    IniDocument doc;
    // Without the old content the other data sources could not be kept.
    if (doc.load(odbcIniPath) == IniDocument::LoadResult::Unreadable)
        return false;
    const QString name = QLatin1String(DataSourceName);
    doc.setSection(QStringLiteral("ODBC Data Sources"), {{name, QLatin1String(UnixDriver)}});
    doc.setSection(name, {{QStringLiteral("Description"), QLatin1String(Description)},
                          {QStringLiteral("Driver"), QLatin1String(UnixDriver)},
                          {QStringLiteral("Database"), databasePath(workingDir)}});
    return doc.save(odbcIniPath);
}

void RegisterDataSource()
{
    using namespace DataSourceRegistration;
    const QString workingDir = QDir::currentPath();
#ifdef Q_OS_WIN
    const bool registered = registerInRegistry(workingDir);
#else
    const bool registered = writeUnixOdbcIni(userDataSourceFile(), workingDir);
#endif
    if (!registered)
        showError(QLatin1String(FailureText), QLatin1String(FailureCaption));
}
