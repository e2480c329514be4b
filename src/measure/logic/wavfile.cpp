#include "wavfile.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint16 FormatPcm = 0x0001;
constexpr quint16 FormatFloat = 0x0003;
constexpr quint16 FormatExtensible = 0xFFFE;
constexpr int MaxChannels = 8;
constexpr int MaxSampleRate = 768000;

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

WavLayout::Encoding encodingOf(quint16 tag, int bits)
{
    using E = WavLayout::Encoding;
    if (tag == FormatPcm) {
        switch (bits) {
        case 8: return E::UInt8;
        case 16: return E::Int16;
        case 24: return E::Int24;
        case 32: return E::Int32;
        default: return E::Invalid;
        }
    }
    if (tag == FormatFloat && bits == 32)
        return E::Float32;
    return E::Invalid;
}

float sampleAt(const char *p, WavLayout::Encoding encoding)
{
    switch (encoding) {
    case WavLayout::Encoding::UInt8: return (quint8(*p) - 128) / 128.0f;
    case WavLayout::Encoding::Int16: return qFromLittleEndian<qint16>(p) / 32768.0f;
    case WavLayout::Encoding::Int24: // widened by wavSamplesForOutput
    case WavLayout::Encoding::Int32: return float(qFromLittleEndian<qint32>(p) / 2147483648.0);
    case WavLayout::Encoding::Float32: return qFromLittleEndian<float>(p);
    case WavLayout::Encoding::Invalid: break;
    }
    return 0;
}

} // namespace

qint64 WavLayout::durationMs() const
{
    if (sampleRate <= 0)
        return 0;
    return (frameCount() * 1000 + sampleRate - 1) / sampleRate;
}

WavLayout parseWav(const QByteArray &file)
{
    const qint64 size = file.size();
    const char *d = file.constData();
    if (size < 12 || file.left(4) != "RIFF" || file.mid(8, 4) != "WAVE")
        return {};

    bool haveFormat = false;
    bool haveData = false;
    quint16 tag = 0;
    int channels = 0, rate = 0, blockAlign = 0, bits = 0;
    qint64 dataOffset = 0, dataSize = 0;

    // Walk the chunks; each is padded to an even length. A data chunk that
    // claims more than the file holds (a cut or streamed file) is cut to it.
    qint64 pos = 12;
    while (pos + 8 <= size && !(haveFormat && haveData)) {
        const QByteArray id = file.mid(pos, 4);
        const qint64 length = u32(d + pos + 4);
        const qint64 body = pos + 8;
        if (id == "fmt ") {
            if (length < 16 || body + length > size)
                return {};
            tag = u16(d + body);
            channels = u16(d + body + 2);
            rate = static_cast<int>(qMin<quint32>(u32(d + body + 4), MaxSampleRate + 1));
            blockAlign = u16(d + body + 12);
            bits = u16(d + body + 14);
            if (tag == FormatExtensible) {
                // The real format tag is the first two bytes of the sub-format GUID.
                if (length < 40)
                    return {};
                tag = u16(d + body + 24);
            }
            haveFormat = true;
        } else if (id == "data") {
            dataOffset = body;
            dataSize = qMin(length, size - body);
            haveData = true;
        }
        pos = body + length + (length & 1);
    }
    if (!haveFormat || !haveData)
        return {};

    WavLayout layout;
    layout.encoding = encodingOf(tag, bits);
    if (!layout.isValid() || channels < 1 || channels > MaxChannels || rate < 1 || rate > MaxSampleRate ||
        blockAlign != channels * bits / 8)
        return {};
    layout.channels = channels;
    layout.sampleRate = rate;
    layout.bytesPerFrame = blockAlign;
    layout.dataOffset = dataOffset;
    layout.dataSize = dataSize - dataSize % blockAlign;
    if (layout.dataSize == 0)
        return {};
    return layout;
}

QByteArray wavSamplesForOutput(const QByteArray &file, const WavLayout &layout)
{
    const QByteArray samples = file.mid(layout.dataOffset, layout.dataSize);
    if (layout.encoding != WavLayout::Encoding::Int24)
        return samples;
    // Little-endian 24-bit samples become the top three bytes of 32-bit ones.
    QByteArray wide(samples.size() / 3 * 4, '\0');
    char *out = wide.data();
    for (qsizetype i = 0; i + 2 < samples.size(); i += 3, out += 4) {
        out[1] = samples[i];
        out[2] = samples[i + 1];
        out[3] = samples[i + 2];
    }
    return wide;
}

QByteArray floatSamples(const QByteArray &samples, const WavLayout &layout, int sampleRate, int channels)
{
    const int inChannels = layout.channels;
    const int sampleBytes =
        layout.encoding == WavLayout::Encoding::Int24 ? 4 : layout.bytesPerFrame / inChannels;
    const qint64 inFrames = samples.size() / (sampleBytes * inChannels);
    const auto input = [&](qint64 frame, int channel) {
        return sampleAt(samples.constData() + (frame * inChannels + channel) * sampleBytes, layout.encoding);
    };

    const double step = double(layout.sampleRate) / sampleRate;
    const qint64 outFrames = qint64(inFrames / step);
    QByteArray out(outFrames * channels * qsizetype(sizeof(float)), Qt::Uninitialized);
    float *dest = reinterpret_cast<float *>(out.data());
    for (qint64 i = 0; i < outFrames; ++i) {
        const double pos = i * step;
        const qint64 frame = qint64(pos);
        const qint64 next = std::min(frame + 1, inFrames - 1);
        const float t = float(pos - frame);
        for (int c = 0; c < channels; ++c) {
            float value = 0;
            if (channels == 1 && inChannels > 1) {
                for (int k = 0; k < inChannels; ++k)
                    value += (input(frame, k) * (1 - t) + input(next, k) * t) / inChannels;
            } else {
                const int k = c % inChannels;
                value = input(frame, k) * (1 - t) + input(next, k) * t;
            }
            *dest++ = value;
        }
    }
    return out;
}
