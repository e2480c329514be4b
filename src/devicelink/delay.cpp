#include "delay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void delay(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms < 0 ? 0 : ms + 1, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    // Pending events are dispatched at least once, even for a wait of 0.
    QCoreApplication::processEvents();
    loop.exec();
}
