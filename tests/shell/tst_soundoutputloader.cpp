// The program's sound output comes from the module beside its executable,
// loaded after start: a real player when the module is there, none (and the
// program silent) when it is missing.
#include "common/apppaths.h"
#include "shell/soundoutputloader.h"

#include <QtTest>

class TestSoundOutputLoader : public QObject {
    Q_OBJECT
private slots:
    void playerComesFromTheModuleBesideTheExecutable()
    {
        const std::unique_ptr<SoundService> player = loadSoundOutput();
        QVERIFY(player);
        // A player of the program's own sounds: it refuses what is no WAV,
        // takes a sound, and refuses a second one while the first plays.
        QVERIFY(!player->play(QStringLiteral("Kelvora_en.rav")));
        QVERIFY(player->play(QStringLiteral("highalarm.wav")));
        QVERIFY(!player->play(QStringLiteral("lowalarm.wav")));
    }

    void missingModuleLeavesTheProgramSilent()
    {
        QTemporaryDir elsewhere;
        AppPaths::setExecutableDir(elsewhere.path());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^No sound: ")));
        const std::unique_ptr<SoundService> player = loadSoundOutput();
        AppPaths::setExecutableDir(QString());
        QVERIFY(!player);
    }
};

QTEST_MAIN(TestSoundOutputLoader)
#include "tst_soundoutputloader.moc"
