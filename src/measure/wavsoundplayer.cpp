#include "wavsoundplayer.h"

#include "measure/logic/wavfile.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QMutex>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace {

// How often the output's progress is looked at while a sound plays.
constexpr int WatchIntervalMs = 10;
// The latency asked of the stream. The sound server keeps part of it as the
// stream's buffer (about 150 ms of 250): a new sound waits at most that long
// behind silence already on its way, and the thread that feeds the stream
// may be held up that long on a busy machine without a gap in a sound.
constexpr int StreamBufferMs = 250;
// The most a sound may take in the stream's format.
constexpr qint64 MaxStreamSoundBytes = 4 * WavSoundPlayer::MaxFileSize;

bool hasFailed(const QAudioSink &sink)
{
    const QAudio::Error error = sink.error();
    return sink.state() == QAudio::StoppedState || error == QAudio::OpenError || error == QAudio::IOError ||
           error == QAudio::FatalError;
}

// The stream carries 32-bit float samples at the device's own rate and
// channel count, so that sounds of any layout can follow each other on it.
QAudioFormat streamFormat(const QAudioDevice &device)
{
    const QAudioFormat preferred = device.preferredFormat();
    QAudioFormat format;
    format.setSampleRate(preferred.sampleRate() > 0 ? preferred.sampleRate() : 48000);
    format.setChannelCount(preferred.channelCount() > 0 ? preferred.channelCount() : 2);
    format.setSampleFormat(QAudioFormat::Float);
    return format;
}

} // namespace

// What the output reads: the samples of the current sound, and silence when
// there are none, so that the stream never runs dry. Sounds are set on the
// GUI thread while the output reads on its own.
class SoundStream final : public QIODevice {
public:
    using QIODevice::QIODevice;

    void setSound(QByteArray samples)
    {
        const QMutexLocker lock(&m_mutex);
        m_sound = std::move(samples);
        m_read = 0;
    }
    void clear() { setSound(QByteArray()); }
    bool hasSound() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_read < m_sound.size();
    }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const QMutexLocker lock(&m_mutex);
        const qint64 fromSound = std::min(maxSize, qint64(m_sound.size()) - m_read);
        std::memcpy(data, m_sound.constData() + m_read, size_t(fromSound));
        std::memset(data + fromSound, 0, size_t(maxSize - fromSound));
        m_read += fromSound;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    mutable QMutex m_mutex;
    QByteArray m_sound;
    qint64 m_read = 0;
};

// The sink that plays the stream, on a thread of its own: it takes the
// stream's samples in small steps, and a busy GUI thread must not leave a gap
// in a sound. start() and stop() run on that thread.
class SoundOutput final : public QObject {
public:
    SoundOutput(const QAudioDevice &device, const QAudioFormat &format)
        : m_device(device), m_format(format), m_stream(new SoundStream(this))
    {
    }

    SoundStream &stream() { return *m_stream; }
    bool hasFailed() const { return m_failed; }

    void start()
    {
        m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        m_sink = new QAudioSink(m_device, m_format, this);
        m_sink->setBufferSize(m_format.bytesForDuration(StreamBufferMs * 1000));
        connect(m_sink, &QAudioSink::stateChanged, this, &SoundOutput::updateFailed);
        m_sink->start(m_stream);
        updateFailed();
    }
    void stop()
    {
        // A sink may run the event loop as it goes: nothing else uses it then.
        if (QAudioSink *sink = std::exchange(m_sink, nullptr)) {
            sink->disconnect(this);
            sink->stop();
            delete sink;
        }
        updateFailed();
    }

private:
    void updateFailed() { m_failed = !m_sink || ::hasFailed(*m_sink); }

    const QAudioDevice m_device;
    const QAudioFormat m_format;
    SoundStream *m_stream;
    QAudioSink *m_sink = nullptr;
    std::atomic<bool> m_failed{true};
};

WavSoundPlayer::WavSoundPlayer(QObject *parent) : QObject(parent)
{
    m_elapsed.start();
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &WavSoundPlayer::checkOutput);
    // The stream runs from now on, so that the first sound starts on time.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull())
        openOutput(device);
}

WavSoundPlayer::~WavSoundPlayer()
{
    closeOutput();
    m_outputThread.quit();
    m_outputThread.wait();
}

void WavSoundPlayer::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

qint64 WavSoundPlayer::now() const
{
    return m_clock ? m_clock() : m_elapsed.elapsed();
}

bool WavSoundPlayer::outputWorks() const
{
    return m_output && !m_output->hasFailed();
}

bool WavSoundPlayer::isPlaying() const
{
    if (!m_playing)
        return false;
    const qint64 elapsed = now() - m_startedAt;
    if (elapsed >= m_durationMs + MaxOutputDelayMs)
        return false;
    if (outputWorks())
        return m_output->stream().hasSound();
    return elapsed < m_durationMs;
}

bool WavSoundPlayer::play(const QString &fileName)
{
    if (isPlaying())
        return false;

    QFile file(findSoundFile(fileName));
    if (file.fileName().isEmpty() || file.size() > MaxFileSize || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const WavLayout layout = parseWav(bytes);
    if (!layout.isValid())
        return false;

    // Without an output device a sink would only fail and warn: stay silent.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        closeOutput();
    else if (device != m_device || !outputWorks())
        openOutput(device);

    QByteArray samples;
    if (m_output) {
        // A file whose low sample rate stretches it far beyond its size on
        // the output holds no alarm: it is refused before it fills memory.
        if (layout.frameCount() * m_format.sampleRate() / layout.sampleRate * m_format.bytesPerFrame() >
            MaxStreamSoundBytes)
            return false;
        samples = floatSamples(wavSamplesForOutput(bytes, layout), layout, m_format.sampleRate(),
                               m_format.channelCount());
    }

    m_playing = true;
    m_startedAt = now();
    m_durationMs = layout.durationMs();
    if (m_output)
        m_output->stream().setSound(std::move(samples));
    m_watch.start();
    return true;
}

void WavSoundPlayer::openOutput(const QAudioDevice &device)
{
    closeOutput();
    m_device = device;
    m_format = streamFormat(device);
    if (!m_outputThread.isRunning())
        m_outputThread.start();
    m_output = new SoundOutput(device, m_format);
    m_output->moveToThread(&m_outputThread);
    QMetaObject::invokeMethod(
        m_output, [output = m_output] { output->start(); }, Qt::BlockingQueuedConnection);
}

void WavSoundPlayer::closeOutput()
{
    if (m_output) {
        QMetaObject::invokeMethod(
            m_output, [output = m_output] { output->stop(); }, Qt::BlockingQueuedConnection);
        m_output->deleteLater(); // on its thread
        m_output = nullptr;
    }
    m_device = QAudioDevice();
}

void WavSoundPlayer::checkOutput()
{
    if (!m_playing || isPlaying())
        return;
    m_playing = false;
    m_watch.stop();
    // What a stalled output has not taken by now would only be heard late.
    if (m_output)
        m_output->stream().clear();
    emit finished();
}
