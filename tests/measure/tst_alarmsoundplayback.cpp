// The alarm sounds on a real sound server: a private PulseAudio server plays
// them into a null sink whose monitor is recorded while readings arrive, and
// the recording tells which sounds were heard, in what order, how long and at
// what pitch.
#include "heardsounds.h"
#include "measure/logic/soundservice.h"
#include "measure/wavsoundplayer.h"
#include "pulsenullsink.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

const QString High = QStringLiteral("highalarm.wav");
const QString Low = QStringLiteral("lowalarm.wav");

// The tones of the two shipped beeps (see scripts/make-alarm-sounds.py).
struct Beep {
    double firstHz;
    double lastHz;
};
Beep beepOf(const QString &file)
{
    return file == High ? Beep{1320, 1760} : Beep{660, 440};
}

bool nearHz(double measured, double expected)
{
    return qAbs(measured - expected) <= expected * 0.05;
}

// Several seconds without a sound, as between alarms of a slow run: longer
// than an output that rests when quiet would keep running (5 s, as long as a
// sound server commonly lets a sink idle).
constexpr int QuietSpellMs = 7000;

// Threads that keep every core busy while they live, as other programs do
// on a loaded machine.
class BusyMachine {
public:
    explicit BusyMachine(int threads)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] {
                while (!m_stop.load(std::memory_order_relaxed))
                    ;
            });
    }
    ~BusyMachine()
    {
        m_stop = true;
        for (std::thread &t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

} // namespace

class TestAlarmSoundPlayback : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyAlarmIsHeardWhole_data();
    void everyAlarmIsHeardWhole();
    void aStalledOutputHoldsLaterAlarmsBackOnlySoLong();
    void aFileStretchedFarOnTheOutputIsRefused();

private:
    std::unique_ptr<PulseNullSink> m_server;
};

void TestAlarmSoundPlayback::initTestCase()
{
    m_server = std::make_unique<PulseNullSink>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    // Before the first use of the audio system, which connects to the server.
    qputenv("PULSE_SERVER", m_server->serverAddress().toUtf8());
    QVERIFY2(!QMediaDevices::defaultAudioOutput().isNull(), qPrintable(m_server->serverLog()));
}

void TestAlarmSoundPlayback::cleanupTestCase()
{
    m_server.reset();
}

void TestAlarmSoundPlayback::everyAlarmIsHeardWhole_data()
{
    // One reading a row entry: when it arrives (ms after the first) and the
    // alarm it asks for, as the measurement window does (none: in range).
    QTest::addColumn<int>("recorderLatencyMs"); // 0: the recorder's default
    QTest::addColumn<int>("idleMs");            // the player's life before the recording starts
    QTest::addColumn<int>("busyMs");            // the GUI thread's, from 300 ms into each sound
    QTest::addColumn<int>("busyThreads");       // other work on the machine meanwhile
    QTest::addColumn<QList<int>>("at");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("heard");

    QTest::newRow("every reading above the high limit, one a second")
        << 300 << 0 << 0 << 0 << QList<int>{0, 1000, 2000, 3000, 4000, 5000}
        << QStringList{High, High, High, High, High, High} << QStringList{High, High, High, High, High, High};
    QTest::newRow("high, low and in range in turn")
        << 300 << 0 << 0 << 0 << QList<int>{0, 1000, 2000, 3000, 4000, 5000}
        << QStringList{High, Low, QString(), High, Low, QString()} << QStringList{High, Low, High, Low};
    QTest::newRow("a reading while a sound plays is skipped")
        << 300 << 0 << 0 << 0 << QList<int>{0, 300, 1300} << QStringList{High, Low, Low}
        << QStringList{High, Low};
    QTest::newRow("default recorder, every reading high")
        << 0 << 0 << 0 << 0 << QList<int>{0, 1000, 2000, 3000, 4000, 5000}
        << QStringList{High, High, High, High, High, High} << QStringList{High, High, High, High, High, High};
    QTest::newRow("default recorder, high, low and in range")
        << 0 << 0 << 0 << 0 << QList<int>{0, 1000, 2000, 3000, 4000, 5000}
        << QStringList{High, Low, QString(), High, Low, QString()} << QStringList{High, Low, High, Low};
    // A sound after seconds of quiet starts on time and plays without a gap,
    // also the first sound of a player that has long been quiet, and also
    // while other work keeps the machine busy.
    QTest::newRow("default recorder, alarms after a quiet spell")
        << 0 << 0 << 0 << 0 << QList<int>{0, QuietSpellMs, QuietSpellMs + 1000}
        << QStringList{High, Low, High} << QStringList{High, Low, High};
    QTest::newRow("default recorder started on a quiet player")
        << 0 << QuietSpellMs << 0 << 0 << QList<int>{0, 1000, 2000} << QStringList{High, Low, High}
        << QStringList{High, Low, High};
    QTest::newRow("busy machine, each alarm after a quiet spell")
        << 0 << QuietSpellMs << 0 << 4
        << QList<int>{0, QuietSpellMs, 2 * QuietSpellMs, 3 * QuietSpellMs, 4 * QuietSpellMs}
        << QStringList{High, Low, High, Low, High} << QStringList{High, Low, High, Low, High};
    QTest::newRow("default recorder, the GUI thread busy during each sound")
        << 0 << 0 << 400 << 0 << QList<int>{0, 1000, 2000} << QStringList{High, Low, High}
        << QStringList{High, Low, High};
}

void TestAlarmSoundPlayback::everyAlarmIsHeardWhole()
{
    QFETCH(int, recorderLatencyMs);
    QFETCH(int, idleMs);
    QFETCH(int, busyMs);
    QFETCH(int, busyThreads);
    QFETCH(QList<int>, at);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, heard);

    WavSoundPlayer player;
    QSignalSpy finished(&player, &WavSoundPlayer::finished);
    SoundService::install(&player);
    auto uninstall = qScopeGuard([] { SoundService::install(nullptr); });
    const BusyMachine load(busyThreads);
    QTest::qWait(idleMs);
    QVERIFY(m_server->startRecording(recorderLatencyMs));
    // The recording starts before the first reading, so a late start of the
    // output shows as a late or short first sound. Without a latency option
    // the recorder buffers long, as a plain recording command does.
    QTest::qWait(200);

    QElapsedTimer clock;
    clock.start();
    QStringList started;
    QList<double> startedAt; // where in the recording play() was called
    for (int i = 0; i < at.size(); ++i) {
        const qint64 wait = at[i] - clock.elapsed();
        if (wait > 0)
            QTest::qWait(int(wait));
        if (asked[i].isEmpty())
            continue;
        const double now = m_server->recordingPosMs();
        if (SoundService::instance().play(asked[i])) {
            started << asked[i];
            startedAt << now;
            if (busyMs > 0) {
                QTest::qWait(300);
                QThread::msleep(busyMs);
            }
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), started.size(), 10000);
    QVERIFY(!player.isPlaying());
    QVERIFY(m_server->recordFurther(500));
    const QVector<HeardSound> sounds = findHeardSounds(m_server->stopRecording(), PulseNullSink::RecordRate);

    for (int i = 0; i < sounds.size(); ++i)
        qInfo() << sounds[i] << "/" << qRound(sounds[i].startMs - startedAt.value(i)) << "ms after play()";
    QCOMPARE(started, heard);
    QCOMPARE(sounds.size(), heard.size());
    for (int i = 0; i < sounds.size(); ++i) {
        const HeardSound &s = sounds[i];
        const Beep expected = beepOf(heard[i]);
        const QByteArray what = QDebug::toString(s).toUtf8();
        // Each beep lasts 0.6 s from its fade in to its fade out.
        QVERIFY2(s.lengthMs > 570 && s.lengthMs < 630, what);
        QVERIFY2(nearHz(s.firstHz, expected.firstHz) && nearHz(s.lastHz, expected.lastHz), what);
        // Each sound starts soon after its play(), the first one included;
        // the margin covers a busy machine's delays. (A sink that renders
        // ahead of time shifts the recording earlier, never later.)
        const double delay = s.startMs - startedAt[i];
        QVERIFY2(delay < 450, qPrintable(QStringLiteral("%1 ms after play()").arg(delay)));
        // Sounds follow each other as the readings that started them did.
        if (i > 0) {
            const double gap = s.startMs - sounds[i - 1].startMs;
            const double apart = startedAt[i] - startedAt[i - 1];
            QVERIFY2(qAbs(gap - apart) < 450,
                     qPrintable(QStringLiteral("%1 ms apart, started %2 ms apart").arg(gap).arg(apart)));
        }
    }
}

void TestAlarmSoundPlayback::aStalledOutputHoldsLaterAlarmsBackOnlySoLong()
{
    QVERIFY(m_server->suspend(true));
    auto resume = qScopeGuard([this] { m_server->suspend(false); });
    qint64 now = 0;
    WavSoundPlayer player;
    player.setClock([&now] { return now; });

    QVERIFY(player.play(High));
    QTest::qWait(900); // longer than the sound: a clock alone would call it over
    now = 900;
    QVERIFY(player.isPlaying()); // the output has not played it
    QVERIFY(!player.play(Low));
    now = 600 + WavSoundPlayer::MaxOutputDelayMs;
    QVERIFY(!player.isPlaying());
    QVERIFY(player.play(Low));
}

void TestAlarmSoundPlayback::aFileStretchedFarOnTheOutputIsRefused()
{
    // 4000 8-bit frames at 1 Hz: a small file, but gigabytes at the output's rate.
    const auto le = [](quint32 v, int size) { return QByteArray(reinterpret_cast<const char *>(&v), size); };
    const QByteArray samples(4000, char(0x80));
    const QByteArray wav = "RIFF" + le(36 + samples.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                           le(1, 2) + le(1, 4) + le(1, 4) + le(1, 2) + le(8, 2) + "data" +
                           le(samples.size(), 4) + samples;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("stretched.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size());
    file.close();
    WavSoundPlayer player;

    QVERIFY(!player.play(file.fileName()));
    QVERIFY(!player.isPlaying());
    QVERIFY(player.play(High));
}

QTEST_MAIN(TestAlarmSoundPlayback)
#include "tst_alarmsoundplayback.moc"
