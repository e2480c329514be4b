// WAV checking, sound file lookup, the WAV player's skip-while-playing timing
// without an output device, and the service's install.
#include "common/apppaths.h"
#include "measure/logic/soundservice.h"
#include "measure/logic/wavfile.h"
#include "measure/wavsoundplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

using Encoding = WavLayout::Encoding;
Q_DECLARE_METATYPE(Encoding)

namespace {

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A chunk with its id, length and the pad byte after an odd body.
QByteArray chunk(const QByteArray &id, const QByteArray &body, quint32 claimedLength = 0)
{
    return id + le32(claimedLength ? claimedLength : body.size()) + body
           + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits, int blockAlign = -1)
{
    const quint16 align = blockAlign < 0 ? channels * bits / 8 : blockAlign;
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

QByteArray extensibleFmtBody(quint16 subTag, quint16 channels, quint32 rate, quint16 bits)
{
    static const QByteArray guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return fmtBody(0xFFFE, channels, rate, bits) + le16(22) + le16(bits) + le32(0x4)
           + le16(subTag) + guidTail;
}

QByteArray riff(const QByteArray &chunks, const QByteArray &form = "WAVE")
{
    return "RIFF" + le32(4 + chunks.size()) + form + chunks;
}

// Distinct bytes, so that a wrong data offset shows.
QByteArray samplePattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(i * 7 + 3);
    return b;
}

// A 16-bit mono WAV of the given length.
QByteArray beep(int ms, int rate = 8000)
{
    return riff(chunk("fmt ", fmtBody(1, 1, rate, 16)) + chunk("data", samplePattern(rate * ms / 1000 * 2)));
}

QByteArray le24(qint32 v)
{
    return le32(quint32(v)).left(3);
}

QByteArray leFloat(float v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path));
}

} // namespace

class TestSoundService : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void parseWav_data();
    void parseWav();
    void floatSamples_data();
    void floatSamples();
    void findSoundFile_data();
    void findSoundFile();
    void skipsWhilePlayingUntilTheDurationHasPassed();
    void refusedFilesPlayNothingAndBlockNothing_data();
    void refusedFilesPlayNothingAndBlockNothing();
    void playsWithoutAnOutputWithoutWarningsAndEnds();
    void installedServiceIsTheOneThatPlays();

private:
    QString m_startDir;
    QTemporaryDir *m_work = nullptr;
    QTemporaryDir *m_exe = nullptr;
};

void TestSoundService::initTestCase()
{
    m_startDir = QDir::currentPath();
    // The player times sounds by its clock only without an output device:
    // keep any sound server of the machine out of reach. (Playback on a real
    // server has a test of its own.)
    qputenv("PULSE_SERVER", QByteArray("unix:") + QDir::temp().filePath("no-sound-server-here").toUtf8());
    // The audio backend may say once that it finds no sound server; get that
    // out of the way before the tests that allow no warning at all.
    QVERIFY(QMediaDevices::defaultAudioOutput().isNull());
}

void TestSoundService::init()
{
    m_work = new QTemporaryDir;
    m_exe = new QTemporaryDir;
    QVERIFY(m_work->isValid() && m_exe->isValid());
    QVERIFY(QDir::setCurrent(m_work->path()));
    AppPaths::setExecutableDir(m_exe->path());
}

void TestSoundService::cleanup()
{
    QDir::setCurrent(m_startDir);
    AppPaths::setExecutableDir(QString());
    delete m_work;
    delete m_exe;
    m_work = m_exe = nullptr;
}

void TestSoundService::parseWav_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint64>("durationMs");
    QTest::addColumn<QByteArray>("samples");

    // The two sounds the build puts beside the executable (the test's own bin/).
    for (const char *name : {"highalarm.wav", "lowalarm.wav"}) {
        const QByteArray f = readFile(QCoreApplication::applicationDirPath() + '/' + name);
        QTest::newRow(name) << f << Encoding::Int16 << 1 << 22050 << qint64(600) << f.mid(44);
    }

    const QByteArray s = samplePattern(4800);
    QTest::newRow("16-bit stereo, 44100 Hz, rounded up to whole ms")
        << riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("data", s)) << Encoding::Int16 << 2
        << 44100 << qint64(28) << s;
    QTest::newRow("8-bit unsigned, 8000 Hz")
        << riff(chunk("fmt ", fmtBody(1, 1, 8000, 8)) + chunk("data", s)) << Encoding::UInt8 << 1
        << 8000 << qint64(600) << s;
    QTest::newRow("32-bit float")
        << riff(chunk("fmt ", fmtBody(3, 1, 8000, 32)) + chunk("data", s)) << Encoding::Float32 << 1
        << 8000 << qint64(150) << s;
    QTest::newRow("extensible 16-bit PCM")
        << riff(chunk("fmt ", extensibleFmtBody(1, 1, 8000, 16)) + chunk("data", s))
        << Encoding::Int16 << 1 << 8000 << qint64(300) << s;
    QTest::newRow("24-bit widened to the top of 32-bit samples")
        << riff(chunk("fmt ", fmtBody(1, 1, 1000, 24)) + chunk("data", QByteArray("\x01\x02\x03\x04\x05\x06", 6)))
        << Encoding::Int24 << 1 << 1000 << qint64(2)
        << QByteArray("\x00\x01\x02\x03\x00\x04\x05\x06", 8);
    QTest::newRow("odd-length chunk before fmt is skipped with its pad byte")
        << riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", s))
        << Encoding::Int16 << 1 << 8000 << qint64(300) << s;
    QTest::newRow("data claimed larger than the file is cut to whole frames at its end")
        << riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", s.left(4003), 100000))
               .chopped(1) // chunk() padded the odd body
        << Encoding::Int16 << 2 << 8000 << qint64(125) << s.left(4000);
    QTest::newRow("streamed file with data length 0xFFFFFFFF")
        << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", s, 0xFFFFFFFFu))
        << Encoding::Int16 << 1 << 8000 << qint64(300) << s;

    const QByteArray good = riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", s));
    const auto refused = [](const char *row, const QByteArray &file) {
        QTest::newRow(row) << file << Encoding::Invalid << 0 << 0 << qint64(0) << QByteArray();
    };
    refused("empty file", QByteArray());
    refused("header cut after 20 bytes", good.left(20));
    refused("fmt chunk cut short", good.left(30));
    refused("header without data chunk", good.left(36));
    refused("not RIFF", "RIFX" + good.mid(4));
    refused("RIFF but not WAVE", riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", s), "AVI "));
    static const char pngHeader[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0";
    refused("PNG", QByteArray(pngHeader, sizeof pngHeader - 1) + samplePattern(200));
    refused("text named .wav", "RIFF is how this sentence starts, WAVE is not where it should be.");
    refused("no fmt chunk", riff(chunk("data", s)));
    refused("fmt chunk shorter than 16 bytes", riff(chunk("fmt ", fmtBody(1, 1, 8000, 16).left(14)) + chunk("data", s)));
    refused("data chunk without a whole frame", riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", "abc")));
    refused("ADPCM", riff(chunk("fmt ", fmtBody(2, 1, 8000, 4, 256)) + chunk("data", s)));
    refused("extensible ADPCM", riff(chunk("fmt ", extensibleFmtBody(2, 1, 8000, 16)) + chunk("data", s)));
    refused("12-bit PCM", riff(chunk("fmt ", fmtBody(1, 1, 8000, 12, 2)) + chunk("data", s)));
    refused("64-bit float", riff(chunk("fmt ", fmtBody(3, 1, 8000, 64)) + chunk("data", s)));
    refused("block align not channels times sample size", riff(chunk("fmt ", fmtBody(1, 2, 8000, 16, 2)) + chunk("data", s)));
    refused("no channels", riff(chunk("fmt ", fmtBody(1, 0, 8000, 16, 0)) + chunk("data", s)));
    refused("sample rate 0", riff(chunk("fmt ", fmtBody(1, 1, 0, 16)) + chunk("data", s)));
}

void TestSoundService::parseWav()
{
    QFETCH(QByteArray, file);
    QFETCH(Encoding, encoding);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(qint64, durationMs);
    QFETCH(QByteArray, samples);

    QVERIFY(!file.isEmpty() || encoding == Encoding::Invalid);
    const WavLayout layout = ::parseWav(file);
    QCOMPARE(layout.encoding, encoding);
    QCOMPARE(layout.channels, channels);
    QCOMPARE(layout.sampleRate, rate);
    QCOMPARE(layout.durationMs(), durationMs);
    QCOMPARE(wavSamplesForOutput(file, layout), samples);
}

void TestSoundService::floatSamples_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QList<float>>("expected");

    const auto wav = [](quint16 tag, quint16 channels, quint32 rate, quint16 bits, const QByteArray &data) {
        return riff(chunk("fmt ", fmtBody(tag, channels, rate, bits)) + chunk("data", data));
    };
    QTest::newRow("8-bit unsigned around 0x80")
        << wav(1, 1, 8000, 8, "\x80\xC0\x40") << 8000 << 1 << QList<float>{0, 0.5f, -0.5f};
    QTest::newRow("16-bit mono to every channel") << wav(1, 1, 8000, 16, le16(0x4000) + le16(0xC000)) << 8000
                                                  << 2 << QList<float>{0.5f, 0.5f, -0.5f, -0.5f};
    QTest::newRow("stereo mixed down into mono")
        << wav(1, 2, 8000, 16, le16(0x4000) + le16(0) + le16(0xC000) + le16(0xE000)) << 8000 << 1
        << QList<float>{0.25f, -0.375f};
    QTest::newRow("stereo stays channel by channel")
        << wav(1, 2, 8000, 16, le16(0x4000) + le16(0xC000)) << 8000 << 2 << QList<float>{0.5f, -0.5f};
    QTest::newRow("24-bit") << wav(1, 1, 8000, 24, le24(0x400000) + le24(-0x200000)) << 8000 << 1
                            << QList<float>{0.5f, -0.25f};
    QTest::newRow("32-bit float") << wav(3, 1, 8000, 32, leFloat(0.25f) + leFloat(-1)) << 8000 << 1
                                  << QList<float>{0.25f, -1};
    QTest::newRow("rate doubled: interpolated, the last frame held")
        << wav(1, 1, 1000, 16, le16(0) + le16(0x4000)) << 2000 << 1 << QList<float>{0, 0.25f, 0.5f, 0.5f};
    QTest::newRow("rate halved: every other frame")
        << wav(1, 1, 2000, 16, le16(0) + le16(0x4000) + le16(0xC000) + le16(0x2000)) << 1000 << 1
        << QList<float>{0, -0.5f};
}

void TestSoundService::floatSamples()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(QList<float>, expected);

    const WavLayout layout = ::parseWav(file);
    QVERIFY(layout.isValid());
    const QByteArray bytes = ::floatSamples(wavSamplesForOutput(file, layout), layout, rate, channels);
    QList<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.constData(), bytes.size());
    QCOMPARE(samples, expected);
}

void TestSoundService::findSoundFile_data()
{
    QTest::addColumn<QString>("inWorkingDir"); // "file", "dir" or nothing
    QTest::addColumn<bool>("besideExecutable");
    QTest::addColumn<QString>("expected"); // "work", "exe" or nothing

    QTest::newRow("working directory comes first") << "file" << true << "work";
    QTest::newRow("only in the working directory") << "file" << false << "work";
    QTest::newRow("only beside the executable") << "" << true << "exe";
    QTest::newRow("a directory of that name is no sound") << "dir" << true << "exe";
    QTest::newRow("nowhere") << "" << false << "";
}

void TestSoundService::findSoundFile()
{
    QFETCH(QString, inWorkingDir);
    QFETCH(bool, besideExecutable);
    QFETCH(QString, expected);

    const QString name = QStringLiteral("highalarm.wav");
    const QString work = QDir(m_work->path()).filePath(name);
    const QString exe = QDir(m_exe->path()).filePath(name);
    if (inWorkingDir == "file")
        writeFile(work, beep(10));
    if (inWorkingDir == "dir")
        QVERIFY(QDir(m_work->path()).mkdir(name));
    if (besideExecutable)
        writeFile(exe, beep(10));

    const QString found = ::findSoundFile(name);
    QCOMPARE(found, expected == "work" ? work : expected == "exe" ? exe : QString());
    if (!found.isEmpty())
        QCOMPARE(::findSoundFile(found), found); // an absolute path is taken as it is
}

void TestSoundService::skipsWhilePlayingUntilTheDurationHasPassed()
{
    writeFile("a.wav", beep(100));
    writeFile("b.wav", beep(40));
    qint64 now = 5000;
    WavSoundPlayer player;
    player.setClock([&now] { return now; });

    QVERIFY(!player.isPlaying());
    QVERIFY(player.play("a.wav"));
    QVERIFY(player.isPlaying());
    now = 5099;
    QVERIFY(!player.play("b.wav")); // another sound still plays: skipped, not queued
    QVERIFY(!player.play("a.wav")); // nor is the same one restarted
    QVERIFY(player.isPlaying());
    now = 5100;
    QVERIFY(!player.isPlaying());
    QVERIFY(player.play("b.wav"));
    now = 5139;
    QVERIFY(player.isPlaying());
    now = 5140;
    QVERIFY(!player.isPlaying());
}

void TestSoundService::refusedFilesPlayNothingAndBlockNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all

    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + samplePattern(100);
    QTest::newRow("header cut short") << beep(100).left(40);
    QTest::newRow("WAV without frames") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", ""));
}

void TestSoundService::refusedFilesPlayNothingAndBlockNothing()
{
    QFETCH(QByteArray, content);
    if (!content.isEmpty())
        writeFile("bad.wav", content);
    writeFile("good.wav", beep(100));
    qint64 now = 0;
    WavSoundPlayer player;
    player.setClock([&now] { return now; });

    QVERIFY(!player.play("bad.wav"));
    QVERIFY(!player.isPlaying());
    QVERIFY(player.play("good.wav"));
    now = 50;
    QVERIFY(!player.play("bad.wav"));
    QVERIFY(player.isPlaying()); // a refused request does not end the playing sound
}

void TestSoundService::playsWithoutAnOutputWithoutWarningsAndEnds()
{
    // Without an output device nothing is heard, but playing returns at once,
    // warns nothing, and the sound ends by itself after its duration.
    QTest::failOnWarning(QRegularExpression(".*"));
    writeFile("beep.wav", beep(800)); // long enough for a busy machine between two calls
    WavSoundPlayer player;
    QSignalSpy finished(&player, &WavSoundPlayer::finished);
    QElapsedTimer clock;
    clock.start();

    QVERIFY(player.play("beep.wav"));
    QVERIFY(!player.play("beep.wav"));
    QVERIFY(finished.wait(10000));
    QVERIFY(clock.elapsed() >= 800);
    QVERIFY(!player.isPlaying());
    QVERIFY(player.play("beep.wav"));
    QVERIFY(finished.wait(10000));

    // The shipped sound is found beside the executable when the working
    // directory holds none.
    AppPaths::setExecutableDir(QString());
    QVERIFY(player.play("highalarm.wav"));
    QVERIFY(player.isPlaying());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 3);
}

void TestSoundService::installedServiceIsTheOneThatPlays()
{
    writeFile("highalarm.wav", beep(100));
    QVERIFY(!SoundService::instance().play("highalarm.wav")); // the silent default
    {
        qint64 now = 0;
        WavSoundPlayer player;
        player.setClock([&now] { return now; });
        SoundService::install(&player);
        auto uninstall = qScopeGuard([] { SoundService::install(nullptr); });
        QVERIFY(SoundService::instance().play("highalarm.wav"));
        QVERIFY(player.isPlaying());
        QVERIFY(!SoundService::instance().play("highalarm.wav"));
        now = 100;
        QVERIFY(SoundService::instance().play("highalarm.wav"));
    }
    QVERIFY(!SoundService::instance().play("highalarm.wav"));
}

QTEST_MAIN(TestSoundService)
#include "tst_soundservice.moc"
