#pragma once

#include <QObject>
#include <QTimer>

// A timer with the program's one rule: changing the interval or enabling a
// disabled timer restarts the period, while assigning the interval it already
// has or enabling an enabled timer changes nothing. (QTimer::setInterval
// always restarts an active timer, which would let a stream of received
// bytes hold the frame timer off for ever.) An interval of 0 never fires.
class ComponentTimer : public QObject {
    Q_OBJECT
public:
    explicit ComponentTimer(QObject *parent = nullptr);

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

signals:
    void timeout();

private:
    void restart();

    QTimer m_timer;
    int m_interval = 1000;
    bool m_enabled = false;
};
