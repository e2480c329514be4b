#pragma once

#include "measure/logic/soundservice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QAudioSink;
class QBuffer;

// The product's sound service: reads and checks the WAV itself, then hands
// the samples to the default audio output, which plays them on its own, so
// play() never waits for the sound.
//
// A sound counts as playing until the output has taken its last sample: a
// sound server may start a stream late and play it from its own buffer long
// after the samples were handed over, so no clock can tell. An output that
// never gets there (a stalled or broken device) releases the sound after its
// duration plus MaxOutputDelayMs, so that it cannot keep later alarms silent.
// Without an output device, or when the output fails, nothing is heard and
// the sound counts as playing for its duration.
class WavSoundPlayer final : public QObject, public SoundService {
    Q_OBJECT
public:
    // Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;

    explicit WavSoundPlayer(QObject *parent = nullptr);
    ~WavSoundPlayer() override;

    bool play(const QString &fileName) override;
    bool isPlaying() const;

    // Replaces the clock that times the sounds (tests); an empty one restores
    // the real clock.
    void setClock(Clock clock);

    // Larger files are refused rather than read on the GUI thread.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;
    // How much longer than its duration a sound may take on the output.
    static constexpr int MaxOutputDelayMs = 3000;
    // How long an output stays open after its sound: sounds that follow soon
    // start without waiting for the sound server to wake its device.
    static constexpr int KeepOutputMs = 5000;

signals:
    // The sound that play() started has ended (as isPlaying() tells).
    void finished();

private:
    qint64 now() const;
    bool outputHasPlayedAll() const;
    void checkOutput();
    void releaseOutput(QAudioSink *&sink, QBuffer *&buffer);

    QElapsedTimer m_elapsed;
    Clock m_clock;
    bool m_playing = false;
    qint64 m_startedAt = 0;
    qint64 m_durationMs = 0;
    qint64 m_outputUs = 0;        // the sound and the silence before it on the output
    QAudioSink *m_sink = nullptr; // plays the current or the last sound
    QBuffer *m_buffer = nullptr;  // its samples
    QTimer m_watch;               // follows the output while a sound plays
    QTimer m_keepOpen;            // closes an output nobody needs any more
};
