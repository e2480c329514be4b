#include "systemvars.h"

#include <QCoreApplication>

TSystemVars SystemVars;

void sendWindowMessage(const QPointer<QObject> &window, QEvent::Type message)
{
    if (window.isNull())
        return;
    QEvent event(message);
    QCoreApplication::sendEvent(window.data(), &event);
}

void TSystemVars::appendReceived(const QByteArray &bytes)
{
    rxBuffer.truncate(rxCount);
    rxBuffer.append(bytes);
    rxCount = static_cast<qint32>(rxBuffer.size());
}

void TSystemVars::clearReceived()
{
    rxBuffer.clear();
    rxCount = 0;
}
