#include "measure/logic/announcethrottle.h"

#include <algorithm>

qint64 AnnounceThrottle::valueChanged(qint64 now)
{
    if (!m_due)
        m_due = m_lastSpoken ? std::max(now, *m_lastSpoken + m_intervalMs) : now;
    return *m_due;
}

qint64 AnnounceThrottle::alarmStarted(qint64 now)
{
    m_due = now;
    return now;
}

bool AnnounceThrottle::takeDue(qint64 now)
{
    if (!m_due || now < *m_due)
        return false;
    m_due.reset();
    m_lastSpoken = now;
    return true;
}
