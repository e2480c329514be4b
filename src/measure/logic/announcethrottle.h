#pragma once

#include <QtGlobal>

#include <optional>

// Decides when a display whose value keeps changing is spoken to a screen
// reader: at most once per interval, so that the speech does not fall
// behind the readings, and at once when an alarm starts. A value that
// comes within the interval waits; a later one replaces it and keeps its
// time, so the latest value is the one spoken. Times are milliseconds on
// any steady clock.
class AnnounceThrottle {
public:
    explicit AnnounceThrottle(qint64 intervalMs) : m_intervalMs(intervalMs) {}

    // A new value at now: the time it is to be spoken at.
    qint64 valueChanged(qint64 now);
    // An alarm started at now: the latest value is spoken now.
    qint64 alarmStarted(qint64 now);
    // True when a value waits and its time has come; it then counts as
    // spoken at now.
    bool takeDue(qint64 now);
    // When the waiting value is to be spoken; none when nothing waits.
    std::optional<qint64> due() const { return m_due; }

private:
    qint64 m_intervalMs;
    std::optional<qint64> m_lastSpoken;
    std::optional<qint64> m_due;
};
