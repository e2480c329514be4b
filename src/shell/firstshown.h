#pragma once

#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <utility>
#include <vector>

// Calls functions once, after a top-level widget's first frame has reached
// the screen: its platform window has been exposed, the expose has been
// painted, and the event loop is back. Work that can wait for the window to
// be seen runs from here, in the order it was given. Kept in a header, so
// that the start-up benchmark's bare window shares it without linking the
// program's libraries.
class FirstShown final : public QObject {
public:
    // The watcher belongs to the window: a window destroyed before it was
    // shown calls nothing.
    static void notify(QWidget *window, std::function<void()> done)
    {
        FirstShown *watcher = nullptr;
        for (QObject *child : window->children())
            if ((watcher = dynamic_cast<FirstShown *>(child)))
                break;
        if (!watcher)
            watcher = new FirstShown(window);
        watcher->m_done.push_back(std::move(done));
    }

private:
    explicit FirstShown(QWidget *window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The platform window exists from the show on; its exposes tell when
        // the window can be seen.
        if (watched == parent() && event->type() == QEvent::Show) {
            if (QWindow *handle = static_cast<QWidget *>(watched)->windowHandle())
                handle->installEventFilter(this);
        } else if (watched != parent() && event->type() == QEvent::Expose &&
                   static_cast<QWindow *>(watched)->isExposed() && !m_shown) {
            m_shown = true;
            watched->removeEventFilter(this);
            parent()->removeEventFilter(this);
            // Queued: the window paints this expose first.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const std::vector<std::function<void()>> done = std::exchange(m_done, {});
                    deleteLater();
                    for (const std::function<void()> &f : done)
                        f();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

    std::vector<std::function<void()>> m_done;
    bool m_shown = false;
};
