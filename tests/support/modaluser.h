#pragma once

// Playing the user while a modal dialog of Qt's runs in a test.

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

// The visible top-level dialog of a class, if any.
template <class Dialog>
Dialog *shownDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<Dialog *>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Calls step every few milliseconds, also from inside a dialog's event loop,
// until it returns true.
class ModalUser : public QObject {
public:
    explicit ModalUser(std::function<bool()> step) : m_step(std::move(step))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_step())
                m_timer.stop();
        });
        m_timer.start(10);
    }

private:
    std::function<bool()> m_step;
    QTimer m_timer;
};
