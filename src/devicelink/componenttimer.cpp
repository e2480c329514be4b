#include "componenttimer.h"

ComponentTimer::ComponentTimer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ComponentTimer::timeout);
}

void ComponentTimer::setInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    restart();
}

void ComponentTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void ComponentTimer::restart()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
