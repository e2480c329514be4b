// Registration of the ODBC data source in the unixODBC user file: the lines
// written, the lines kept, the failure message, and a real ODBC client
// reading the program's database through it.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "shell/logic/datasourceregistration.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

QByteArray dataSourceSection(const QByteArray &database)
{
    return "[Kelvora]\nDescription=Quellmarkon Data Source\nDriver=SQLite3\nDatabase=" + database + "\n";
}

// Sets or clears an environment variable for one test, restoring it after.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char *name) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_old = qgetenv(name);
    }
    ~EnvironmentVariable()
    {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }
    void set(const QString &value) { qputenv(m_name, value.toLocal8Bit()); }
    void unset() { qunsetenv(m_name); }

private:
    const char *m_name;
    std::optional<QByteArray> m_old;
};

} // namespace

class TestDataSourceRegistration : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<EnvironmentVariable> odbcIni;
    QString iniPath() const { return dir->filePath("odbc.ini"); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        odbcIni = std::make_unique<EnvironmentVariable>("ODBCINI");
    }
    void cleanup() { odbcIni.reset(); }

    void newFile()
    {
        QVERIFY(DataSourceRegistration::writeUnixOdbcIni(iniPath(), "/srv/logger"));
        QCOMPARE(readFile(iniPath()), "[ODBC Data Sources]\nKelvora=SQLite3\n\n"
                                          + dataSourceSection("/srv/logger/Kelvora.mdb"));
    }

    void keepsOtherLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray ours = dataSourceSection("/srv/logger/Kelvora.mdb");

        QTest::newRow("other data sources and sections")
            << QByteArray("; my sources\n[ODBC]\nTrace=No\n\n[ODBC Data Sources]\nPlant=PostgreSQL\n\n"
                          "[Plant]\nDriver=PostgreSQL\nServername=db1\n")
            << QByteArray("; my sources\n[ODBC]\nTrace=No\n\n"
                          "[ODBC Data Sources]\nKelvora=SQLite3\nPlant=PostgreSQL\n\n"
                          "[Plant]\nDriver=PostgreSQL\nServername=db1\n\n" + ours);
        QTest::newRow("earlier registration replaced, its other options kept")
            << QByteArray("[odbc data sources]\r\nkelvora = Access\r\nPlant=PostgreSQL\r\n\r\n"
                          "[KELVORA]\r\nDatabase=/old/Kelvora.mdb\r\nTimeout=2000\r\ndriver=Access\r\n\r\n"
                          "[Plant]\r\nDriver=PostgreSQL\r\n")
            << QByteArray("[odbc data sources]\r\nKelvora=SQLite3\r\nPlant=PostgreSQL\r\n\r\n"
                          "[KELVORA]\r\nDescription=Quellmarkon Data Source\r\nDriver=SQLite3\r\n"
                          "Database=/srv/logger/Kelvora.mdb\r\nTimeout=2000\r\n\r\n"
                          "[Plant]\r\nDriver=PostgreSQL\r\n");
        QTest::newRow("list of data sources missing, no final line break")
            << QByteArray("[Plant]\nDriver=PostgreSQL")
            << QByteArray("[Plant]\nDriver=PostgreSQL\n\n[ODBC Data Sources]\nKelvora=SQLite3\n\n" + ours);
    }

    void keepsOtherLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeFile(iniPath(), before);
        QVERIFY(DataSourceRegistration::writeUnixOdbcIni(iniPath(), "/srv/logger"));
        QCOMPARE(readFile(iniPath()), after);
        // Every start registers again: nothing grows or moves.
        QVERIFY(DataSourceRegistration::writeUnixOdbcIni(iniPath(), "/srv/logger"));
        QCOMPARE(readFile(iniPath()), after);
    }

    // A start from another working directory points the data source there.
    void anotherWorkingDirectoryRedirects()
    {
        QVERIFY(DataSourceRegistration::writeUnixOdbcIni(iniPath(), "/srv/first"));
        QVERIFY(DataSourceRegistration::writeUnixOdbcIni(iniPath(), "/home/op/second run"));
        QCOMPARE(readFile(iniPath()), "[ODBC Data Sources]\nKelvora=SQLite3\n\n"
                                          + dataSourceSection("/home/op/second run/Kelvora.mdb"));
    }

    void userFile_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::home().filePath(".odbc.ini");
        QTest::newRow("ODBCINI set") << true << "/etc/site/odbc.ini" << "/etc/site/odbc.ini";
        QTest::newRow("ODBCINI empty") << true << "" << home;
        QTest::newRow("ODBCINI unset") << false << "" << home;
    }

    void userFile()
    {
        QFETCH(bool, set);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        if (set)
            odbcIni->set(value);
        else
            odbcIni->unset();
        QCOMPARE(DataSourceRegistration::userDataSourceFile(), expected);
    }

    // The entry point registers the working directory, not the executable's.
    void registersCurrentWorkingDirectory()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir exeDir;
        AppPaths::setExecutableDir(exeDir.path());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        odbcIni->set(iniPath());

        RegisterDataSource();

        QDir::setCurrent(previous);
        AppPaths::setExecutableDir(QString());
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY2(readFile(iniPath()).contains("\nDatabase=" + dir->filePath("Kelvora.mdb").toUtf8() + "\n"),
                 readFile(iniPath()).constData());
    }

    void failureIsToldOnce_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("folder missing") << QString("missing/odbc.ini");
        QTest::newRow("path is a directory") << QString("isdir");
    }

    void failureIsToldOnce()
    {
        QFETCH(QString, relativePath);
        const QString path = dir->filePath(relativePath);
        if (relativePath == "isdir")
            QVERIFY(QDir(dir->path()).mkpath("isdir/inside"));
        odbcIni->set(path);
        ScriptedDialogs dialogs;

        RegisterDataSource();

        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown.at(0).text,
                 QString("Register file operation fail\rPlease check up your operation system"));
        QCOMPARE(dialogs.shown.at(0).caption, QString("Error Information"));
        QCOMPARE(dialogs.shown.at(0).icon, Dialogs::Icon::Error);
        QCOMPARE(dialogs.shown.at(0).buttons, Dialogs::Buttons(Dialogs::Ok));
        // Nothing was created or replaced.
        QVERIFY(!QFileInfo::exists(dir->filePath("missing")));
        QCOMPARE(QFileInfo(path).isDir(), relativePath == "isdir");
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 relativePath == "isdir" ? QStringList{"isdir"} : QStringList{});
    }

    // An ODBC client reads rows the program stored, through the data source.
    void odbcClientReadsTheDatabase()
    {
        const QString isql = QStandardPaths::findExecutable("isql");
        if (isql.isEmpty())
            QSKIP("isql not installed: Debian packages unixodbc and libsqliteodbc "
                  "(scripts/install-deps.sh installs them)");

        ProgramEnv env;
        TForm6 link;
        link.FormCreate();
        link.Table1.append(MeasureRecord{1, "2024-06-11", "10:00:00", 0.95, 36.5, "C"});
        link.Table1.append(MeasureRecord{2, "2024-06-11", "10:00:05", 0.95, 98.25, "F"});
        odbcIni->set(dir->filePath("odbc.ini"));
        RegisterDataSource();
        QVERIFY(env.dialogs.shown.isEmpty());

        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ODBCINI", dir->filePath("odbc.ini"));
        client.setProcessEnvironment(environment);
        client.start(isql, {"-b", "-v", "-d,", "Kelvora"});
        QVERIFY(client.waitForStarted());
        client.write("select recno, meavalue, unit from MeaData;\n");
        client.closeWriteChannel();
        QVERIFY(client.waitForFinished(30000));
        const QByteArray output = client.readAllStandardOutput() + client.readAllStandardError();
        QVERIFY2(client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0, output.constData());
        const QList<QByteArray> lines = output.split('\n');
        QVERIFY2(lines.contains("1,36.5,C") && lines.contains("2,98.25,F"), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestDataSourceRegistration)
#include "tst_datasourceregistration.moc"
