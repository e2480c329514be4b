#include "measure/datawindowclose.h"

#include "common/kelvoraerror.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QPointer>

void closeDataWindow(QWidget *window, QCloseEvent *event, const std::function<bool()> &formClose)
{
    bool close = false;
    const QPointer<QWidget> self(window);
    guardedHandler([&] { close = formClose(); });
    if (!self)
        return;
    if (close) {
        event->accept();
        return;
    }
    event->ignore();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->showMinimized();
}
