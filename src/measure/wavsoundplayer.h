#pragma once

#include "measure/logic/soundservice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <functional>

class SoundOutput;

// The product's sound service: reads and checks the WAV itself and plays it
// on one output stream that it keeps running, so play() never waits for the
// sound.
//
// The stream is opened with the player and carries silence between sounds;
// a thread of its own feeds it to the device, so that a busy GUI thread
// leaves no gap in a sound. A sound server that renders far ahead while no
// stream plays (a device with long buffering) would start a newly opened
// stream late; a running stream keeps the server's latency at the stream's
// own, so a sound starts within one buffer of play(). The stream is never
// paused: a paused stream resumes playing at once with next to nothing
// buffered (the sound is heard 20-40 ms after play() rather than 110-170),
// and samples can be written to it only once it plays, so any hold-up of the
// feeding thread in the first tenths of a second runs it dry and leaves a gap
// in the sound. Silence costs the sound server little.
//
// A sound counts as playing until the output has taken its last sample. An
// output that never gets there (a stalled or broken device) releases the
// sound after its duration plus MaxOutputDelayMs, so that it cannot keep later
// alarms silent; the next sound then replaces what is left of it. Without an
// output device, or when the output fails, nothing is heard and the sound
// counts as playing for its duration.
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

signals:
    // The sound that play() started has ended (as isPlaying() tells).
    void finished();

private:
    qint64 now() const;
    bool outputWorks() const;
    void openOutput(const QAudioDevice &device);
    void closeOutput();
    void checkOutput();

    QElapsedTimer m_elapsed;
    Clock m_clock;
    bool m_playing = false;
    qint64 m_startedAt = 0;
    qint64 m_durationMs = 0;
    QAudioDevice m_device;
    QAudioFormat m_format; // of the stream
    QThread m_outputThread;
    SoundOutput *m_output = nullptr; // lives on m_outputThread
    QTimer m_watch;                  // follows the output while a sound plays
};
