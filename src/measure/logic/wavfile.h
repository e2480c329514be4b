#pragma once

#include <QByteArray>
#include <QtGlobal>

// The layout of a WAV file as far as playing it needs: sample encoding,
// channels, rate and where the samples lie. Files that are not RIFF/WAVE,
// that lack a complete "fmt " or a "data" chunk, hold an encoding other than
// PCM or 32-bit float, or hold no whole frame, are refused (isValid false).
struct WavLayout {
    enum class Encoding { Invalid, UInt8, Int16, Int24, Int32, Float32 };

    Encoding encoding = Encoding::Invalid;
    int channels = 0;
    int sampleRate = 0;
    int bytesPerFrame = 0;
    qint64 dataOffset = 0; // where the samples start in the file
    qint64 dataSize = 0;   // whole frames only, cut at the end of the file

    bool isValid() const { return encoding != Encoding::Invalid; }
    qint64 frameCount() const { return bytesPerFrame > 0 ? dataSize / bytesPerFrame : 0; }
    // Playing time in milliseconds, rounded up so that it covers the last frame.
    qint64 durationMs() const;
};

WavLayout parseWav(const QByteArray &file);

// The samples of a valid file in a form an audio output takes: 24-bit
// samples are widened to 32 bits, every other encoding is returned as it is.
QByteArray wavSamplesForOutput(const QByteArray &file, const WavLayout &layout);

// Samples as wavSamplesForOutput gives them, as 32-bit floats in [-1, 1] at
// another rate and channel count: a mono sound goes to every channel, a sound
// with more channels than one goes channel by channel (repeated as needed)
// or, into mono, is mixed down. The rate is converted by linear
// interpolation, which is plenty for alarm beeps.
QByteArray floatSamples(const QByteArray &samples, const WavLayout &layout, int sampleRate, int channels);
