#pragma once

// Which way a step of an up/down stepper goes; None when the arrow points
// past the end of the range at which the count stands.
enum class StepDirection { None, Up, Down };

// The position of an up/down stepper: an integer count within a range,
// moved by a step. The count never leaves the range: a count placed outside
// it is brought to the nearer end, and a step that would overshoot an end
// stops at that end.
class StepperCount {
public:
    StepperCount(int minimum, int maximum, int count, int step);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int count() const { return m_count; }
    int step() const { return m_step; }

    void setCount(int count);
    void setStep(int step) { m_step = step; }

    // The direction of a press of the up (or down) arrow from the current count.
    StepDirection direction(bool up) const;
    // The count a step in that direction leads to with the current step.
    int target(StepDirection direction) const;

private:
    int m_minimum;
    int m_maximum;
    int m_count;
    int m_step;
};

// The count of tenths for a value in degrees: rounded to the nearest tenth,
// saturated at the ends of int (a non-number gives 0).
int tenthsCount(double degrees);
