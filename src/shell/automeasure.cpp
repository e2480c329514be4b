#include "automeasure.h"

#include "MAIN.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"

#include <QAbstractButton>

AutoMeasure::AutoMeasure(TForm1 &mainWindow) : m_main(mainWindow)
{
    m_timer.setInterval(CheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { guardedHandler([this] { check(); }); });
}

void AutoMeasure::begin()
{
    if (!SystemVars.measureMenuEnabled)
        return;
    m_main.N3Click();
    m_window = qobject_cast<QWidget *>(SystemVars.measureWindow.data());
    if (m_window)
        m_timer.start();
}

void AutoMeasure::check()
{
    const TSystemVars &v = SystemVars;
    auto *start = m_window ? m_window->findChild<QAbstractButton *>(QStringLiteral("BitBtn1")) : nullptr;
    if (!start || !start->isVisibleTo(m_window)) {
        m_timer.stop();
        return;
    }
    // As a user would: once the thermometer's settings have come in and no
    // other window holds the line.
    if (!v.settingsRead || v.deviceBusy || !start->isEnabled())
        return;
    m_timer.stop();
    start->click();
}
