#include "delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void delay(int ms)
{
    // "More than ms" on a millisecond clock: at least ms + 1.
    const qint64 wait = ms < 0 ? 0 : qint64(ms) + 1;
    QElapsedTimer clock;
    clock.start();
    // Pending events are dispatched at least once, even for a wait of 0.
    QCoreApplication::processEvents();
    // A handler run by processEvents() or inside exec() may open a nested loop
    // (a message box, another wait) that outlasts the deadline. A timer that
    // fires before exec() starts would be lost, since exec() forgets an earlier
    // quit; so each round arms a fresh timer right before exec(), and a quit
    // that fires inside a nested loop ends exec() as soon as that loop returns.
    for (qint64 left = wait - clock.elapsed(); left > 0; left = wait - clock.elapsed()) {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(int(left));
        loop.exec();
    }
}
