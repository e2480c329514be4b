#pragma once

#include "setup/logic/steppercount.h"

#include <QWidget>

class QToolButton;

// An up/down stepper: two arrow buttons over an integer count. Each step
// (a click, or every repeat while an arrow is held) first announces itself
// with changingEx(direction), then moves the count by the step that was in
// force when it was announced, so a step changed by the handler applies from
// the next step on. At an end of the range the direction is None and the
// count stays. Releasing the mouse button on an arrow announces mouseUp()
// after the last step; a release off the arrow, where no step comes,
// announces it too.
class AlarmStepper final : public QWidget {
    Q_OBJECT
public:
    AlarmStepper(int minimum, int maximum, int count, int step, QWidget *parent = nullptr);

    int count() const { return m_count.count(); }
    int step() const { return m_count.step(); }
    // The count a step in that direction leads to with the current step.
    int target(StepDirection direction) const { return m_count.target(direction); }
    void setCount(int count) { m_count.setCount(count); }
    void setStep(int step) { m_count.setStep(step); }

    // Names the arrows for assistive technology after the value they change.
    void setValueName(const QString &name);

    // One step of an arrow, as a click or an auto-repeat performs it.
    void arrowStep(bool up);

    QToolButton *upArrow() const { return m_up; }
    QToolButton *downArrow() const { return m_down; }

signals:
    void changingEx(StepDirection direction);
    void mouseUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onClicked(QToolButton *arrow, bool up);

    StepperCount m_count;
    QToolButton *m_up;
    QToolButton *m_down;
};
