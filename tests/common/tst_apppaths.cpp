// Where the program's own written files go: beside a writable executable,
// else in the user's configuration folder, which is created on demand.
#include "common/apppaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home = qgetenv("HOME");
        m_config = qgetenv("XDG_CONFIG_HOME");
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("program")));
    }
    void cleanup()
    {
        AppPaths::setExecutableDir(QString());
        qputenv("HOME", m_home);
        if (m_config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_config);
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    void ownFile_data()
    {
        QTest::addColumn<QString>("exeDir");
        QTest::addColumn<QString>("configHome"); // empty: XDG_CONFIG_HOME unset
        QTest::addColumn<QString>("expectedDir");
        // A build directory or a portable copy keeps everything beside the program.
        QTest::newRow("writable program folder") << "program" << "xdg" << "program";
        // Root may write any existing folder, so a missing one stands for the
        // installed program's folder that a normal user may not write.
        QTest::newRow("program folder not writable") << "usr/lib/kelvora" << "xdg" << "xdg/Kelvora";
        QTest::newRow("no XDG_CONFIG_HOME: ~/.config")
            << "usr/lib/kelvora" << "" << "home/.config/Kelvora";
    }
    void ownFile()
    {
        QFETCH(QString, exeDir);
        QFETCH(QString, configHome);
        QFETCH(QString, expectedDir);
        const QDir root(m_dir.path());
        qputenv("HOME", root.filePath(QStringLiteral("home")).toUtf8());
        if (configHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", root.filePath(configHome).toUtf8());
        AppPaths::setExecutableDir(root.filePath(exeDir));

        const QString path = AppPaths::ownFile(QStringLiteral("KELVORA.INI"));
        QCOMPARE(path, root.filePath(expectedDir + QStringLiteral("/KELVORA.INI")));
        QVERIFY(QFileInfo(root.filePath(expectedDir)).isDir());
        // Only the folder is made; nothing appears beside a folder it did not choose.
        QCOMPARE(QFileInfo::exists(root.filePath(QStringLiteral("xdg/Kelvora"))),
                 expectedDir == QStringLiteral("xdg/Kelvora"));
        QVERIFY(!QFileInfo::exists(path));
        // The files read beside the executable stay there whatever the choice.
        QCOMPARE(AppPaths::besideExecutable(QStringLiteral("Kelvora_en.rav")),
                 root.filePath(exeDir + QStringLiteral("/Kelvora_en.rav")));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
