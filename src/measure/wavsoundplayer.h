#pragma once

#include "measure/logic/soundservice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QAudioSink;
class QBuffer;

// The product's sound service: reads and checks the WAV itself, then hands
// the samples to the default audio output, which plays them on its own
// thread, so play() never waits for the sound.
//
// A sound counts as playing from its start until its duration (from the WAV
// header) has passed, whatever the audio output does: without an output
// device nothing is heard, but the timing stays the same, and a stalled
// output cannot keep later sounds silent.
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

private:
    qint64 now() const;
    void releaseOutput();

    QElapsedTimer m_elapsed;
    Clock m_clock;
    bool m_started = false;
    qint64 m_playingUntil = 0;
    QAudioSink *m_sink = nullptr;
    QBuffer *m_buffer = nullptr;
    QTimer m_releaseTimer;
};
