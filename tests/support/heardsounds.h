#pragma once

#include <QDebug>
#include <QPair>
#include <QVector>

#include <cstdlib>

// One sound found in a recording: where it starts, how long it lasts and the
// pitch of its beginning and of its end (an alarm beep is two tones).
struct HeardSound {
    double startMs = 0;
    double lengthMs = 0;
    double firstHz = 0;
    double lastHz = 0;
};

inline QDebug operator<<(QDebug debug, const HeardSound &s)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "sound at " << qRound(s.startMs) << " ms, " << qRound(s.lengthMs) << " ms long, "
                    << qRound(s.firstHz) << " Hz then " << qRound(s.lastHz) << " Hz";
    return debug;
}

namespace HeardSoundsDetail {

// Pitch of a stretch of a pure tone from its zero crossings; a small
// hysteresis keeps noise around zero from counting.
inline double pitchHz(const QVector<qint16> &pcm, qsizetype from, qsizetype to, int rate)
{
    constexpr int Hysteresis = 500;
    int crossings = 0;
    int sign = 0;
    for (qsizetype i = qMax<qsizetype>(from, 0); i < qMin(to, pcm.size()); ++i) {
        const int now = pcm[i] > Hysteresis ? 1 : pcm[i] < -Hysteresis ? -1 : sign;
        if (sign != 0 && now != sign)
            ++crossings;
        sign = now;
    }
    return crossings / 2.0 / (double(to - from) / rate);
}

} // namespace HeardSoundsDetail

// The sounds in a mono recording: stretches of 5 ms windows whose peak passes
// a threshold, where quiet gaps shorter than mergeGapMs (the pause between
// the tones of one beep) do not split a sound.
inline QVector<HeardSound> findHeardSounds(const QVector<qint16> &pcm, int rate, int mergeGapMs = 150)
{
    constexpr int Threshold = 2000;
    constexpr int PitchMs = 150; // tone length measured at each end
    constexpr int EdgeMs = 20;   // skips the fade in and out
    const qsizetype window = rate / 200;
    const qsizetype mergeGap = qsizetype(mergeGapMs) * rate / 1000;

    QVector<QPair<qsizetype, qsizetype>> spans; // sample ranges [first, end)
    for (qsizetype w = 0; w + window <= pcm.size(); w += window) {
        bool loud = false;
        for (qsizetype i = w; i < w + window && !loud; ++i)
            loud = std::abs(int(pcm[i])) > Threshold;
        if (!loud)
            continue;
        if (!spans.isEmpty() && w - spans.last().second <= mergeGap)
            spans.last().second = w + window;
        else
            spans.append({w, w + window});
    }

    QVector<HeardSound> sounds;
    const qsizetype pitch = qsizetype(PitchMs) * rate / 1000;
    const qsizetype edge = qsizetype(EdgeMs) * rate / 1000;
    for (const auto &[first, end] : spans) {
        HeardSound s;
        s.startMs = first * 1000.0 / rate;
        s.lengthMs = (end - first) * 1000.0 / rate;
        s.firstHz = HeardSoundsDetail::pitchHz(pcm, first + edge, first + edge + pitch, rate);
        s.lastHz = HeardSoundsDetail::pitchHz(pcm, end - edge - pitch, end - edge, rate);
        sounds.append(s);
    }
    return sounds;
}
