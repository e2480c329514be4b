#include "wavsoundplayer.h"

#include "measure/logic/wavfile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>

#include <utility>

namespace {

// How often the output's progress is looked at while a sound plays.
constexpr int WatchIntervalMs = 10;
// Silence played before each sound: a sound server that is rendering ahead
// when a new stream joins may drop the stream's first few dozen
// milliseconds, which must not be the beginning of the alarm.
constexpr int LeadInMs = 100;

QAudioFormat::SampleFormat sampleFormatOf(WavLayout::Encoding encoding)
{
    switch (encoding) {
    case WavLayout::Encoding::UInt8: return QAudioFormat::UInt8;
    case WavLayout::Encoding::Int16: return QAudioFormat::Int16;
    case WavLayout::Encoding::Int24: // widened by wavSamplesForOutput
    case WavLayout::Encoding::Int32: return QAudioFormat::Int32;
    case WavLayout::Encoding::Float32: return QAudioFormat::Float;
    case WavLayout::Encoding::Invalid: break;
    }
    return QAudioFormat::Unknown;
}

bool hasFailed(const QAudioSink &sink)
{
    const QAudio::Error error = sink.error();
    return sink.state() == QAudio::StoppedState || error == QAudio::OpenError || error == QAudio::IOError ||
           error == QAudio::FatalError;
}

} // namespace

WavSoundPlayer::WavSoundPlayer(QObject *parent) : QObject(parent)
{
    m_elapsed.start();
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &WavSoundPlayer::checkOutput);
    m_keepOpen.setSingleShot(true);
    connect(&m_keepOpen, &QTimer::timeout, this, [this] { releaseOutput(m_sink, m_buffer); });
}

WavSoundPlayer::~WavSoundPlayer()
{
    releaseOutput(m_sink, m_buffer);
}

void WavSoundPlayer::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

qint64 WavSoundPlayer::now() const
{
    return m_clock ? m_clock() : m_elapsed.elapsed();
}

bool WavSoundPlayer::isPlaying() const
{
    if (!m_playing)
        return false;
    const qint64 elapsed = now() - m_startedAt;
    if (elapsed >= m_durationMs + MaxOutputDelayMs)
        return false;
    if (m_sink && !hasFailed(*m_sink))
        return !outputHasPlayedAll();
    return elapsed < m_durationMs;
}

// Every sample has been handed over, the sound server has taken all of them
// from the stream's buffer, and its own latency has passed too.
bool WavSoundPlayer::outputHasPlayedAll() const
{
    return m_sink->state() == QAudio::IdleState && m_buffer->atEnd() &&
           m_sink->bytesFree() >= m_sink->bufferSize() && m_sink->processedUSecs() >= m_outputUs;
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

    // The last sound's output stays open until this one's runs, so that the
    // sound server keeps its device awake in between.
    QAudioSink *lastSink = std::exchange(m_sink, nullptr);
    QBuffer *lastBuffer = std::exchange(m_buffer, nullptr);
    m_keepOpen.stop();

    m_playing = true;
    m_startedAt = now();
    m_durationMs = layout.durationMs();

    // Without an output device a sink would only fail and warn: stay silent.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        QAudioFormat format;
        format.setSampleRate(layout.sampleRate);
        format.setChannelCount(layout.channels);
        format.setSampleFormat(sampleFormatOf(layout.encoding));

        const qint32 leadInBytes = format.bytesForDuration(LeadInMs * 1000);
        const char silence = layout.encoding == WavLayout::Encoding::UInt8 ? char(0x80) : '\0';
        // What the output counts when it has played all: whole frames in µs.
        m_outputUs = format.durationForBytes(leadInBytes) + layout.frameCount() * 1000000 / layout.sampleRate;
        m_buffer = new QBuffer(this);
        m_buffer->setData(QByteArray(leadInBytes, silence) + wavSamplesForOutput(bytes, layout));
        m_buffer->open(QIODevice::ReadOnly);
        m_sink = new QAudioSink(device, format, this);
        connect(m_sink, &QAudioSink::stateChanged, this, &WavSoundPlayer::checkOutput);
        m_sink->start(m_buffer);
    }
    releaseOutput(lastSink, lastBuffer);
    m_watch.start();
    return true;
}

void WavSoundPlayer::checkOutput()
{
    if (!m_playing || isPlaying())
        return;
    m_playing = false;
    m_watch.stop();
    m_keepOpen.start(KeepOutputMs);
    emit finished();
}

void WavSoundPlayer::releaseOutput(QAudioSink *&sink, QBuffer *&buffer)
{
    if (sink) {
        sink->disconnect(this);
        sink->stop();
        sink->deleteLater();
        sink = nullptr;
    }
    if (buffer) {
        buffer->deleteLater();
        buffer = nullptr;
    }
}
