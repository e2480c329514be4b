#include "setup/alarmstepper.h"

#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

AlarmStepper::AlarmStepper(int minimum, int maximum, int count, int step, QWidget *parent)
    : QWidget(parent), m_count(minimum, maximum, count, step)
{
    auto *arrows = new QVBoxLayout(this);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    for (const auto &[arrow, type, up] :
         {std::tuple{m_up, Qt::UpArrow, true}, std::tuple{m_down, Qt::DownArrow, false}}) {
        arrow->setArrowType(type);
        arrow->setFixedSize(16, 11);
        arrow->setAutoRepeat(true);
        arrow->installEventFilter(this);
        arrows->addWidget(arrow);
        connect(arrow, &QToolButton::clicked, this, [this, arrow = arrow, up = up] { onClicked(arrow, up); });
    }
}

void AlarmStepper::setValueName(const QString &name)
{
    setAccessibleName(name);
    m_up->setAccessibleName(QStringLiteral("Increase ") + name);
    m_down->setAccessibleName(QStringLiteral("Decrease ") + name);
}

void AlarmStepper::arrowStep(bool up)
{
    const StepDirection direction = m_count.direction(up);
    const int target = m_count.target(direction);
    const QPointer<AlarmStepper> self(this);
    emit changingEx(direction);
    if (self)
        m_count.setCount(target);
}

bool AlarmStepper::eventFilter(QObject *watched, QEvent *event)
{
    // A release that ends with a click (the arrow down and the pointer on
    // it) is announced after that click's step; any other release of the
    // button, off the arrow or after the pointer left it, brings no click
    // and is announced here.
    if (event->type() == QEvent::MouseButtonRelease && (watched == m_up || watched == m_down)) {
        const auto *release = static_cast<QMouseEvent *>(event);
        auto *arrow = static_cast<QToolButton *>(watched);
        if (release->button() == Qt::LeftButton &&
            !(arrow->isDown() && arrow->rect().contains(release->position().toPoint())))
            emit mouseUp();
    }
    return QWidget::eventFilter(watched, event);
}

void AlarmStepper::onClicked(QToolButton *arrow, bool up)
{
    const QPointer<AlarmStepper> self(this);
    arrowStep(up);
    // An auto-repeat clicks while the arrow is still down; the click of the
    // release (also of a key press or an assistive press) comes with it up.
    if (self && !arrow->isDown())
        emit mouseUp();
}
