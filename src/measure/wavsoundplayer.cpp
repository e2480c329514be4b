#include "wavsoundplayer.h"

#include "measure/logic/wavfile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>

#include <limits>

namespace {

// Time the output keeps after the sound's duration to play out its own
// buffer before it is closed.
constexpr int OutputDrainMs = 500;

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

} // namespace

WavSoundPlayer::WavSoundPlayer(QObject *parent) : QObject(parent)
{
    m_elapsed.start();
    m_releaseTimer.setSingleShot(true);
    connect(&m_releaseTimer, &QTimer::timeout, this, &WavSoundPlayer::releaseOutput);
}

WavSoundPlayer::~WavSoundPlayer()
{
    releaseOutput();
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
    return m_started && now() < m_playingUntil;
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

    releaseOutput();
    m_started = true;
    m_playingUntil = now() + layout.durationMs();

    // Without an output device a sink would only fail and warn: stay silent.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        QAudioFormat format;
        format.setSampleRate(layout.sampleRate);
        format.setChannelCount(layout.channels);
        format.setSampleFormat(sampleFormatOf(layout.encoding));

        m_buffer = new QBuffer(this);
        m_buffer->setData(wavSamplesForOutput(bytes, layout));
        m_buffer->open(QIODevice::ReadOnly);
        m_sink = new QAudioSink(device, format, this);
        m_sink->start(m_buffer);
        m_releaseTimer.start(static_cast<int>(
            qMin<qint64>(layout.durationMs() + OutputDrainMs, std::numeric_limits<int>::max())));
    }
    return true;
}

void WavSoundPlayer::releaseOutput()
{
    m_releaseTimer.stop();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_buffer) {
        m_buffer->deleteLater();
        m_buffer = nullptr;
    }
}
