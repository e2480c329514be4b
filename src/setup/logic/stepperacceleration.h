#pragma once

#include <QtGlobal>

// How far an alarm stepper moves per step while an arrow is held: the
// longer the arrow is held, the larger the step, so that the whole range
// can be crossed in seconds while single clicks still move by half a degree.
namespace StepperAcceleration {

// Tenths of a degree per step right after the mouse button was released.
constexpr int InitialStep = 5;

// The step after the stepCount-th step event since the mouse button was last
// released on a stepper: 1 to 4 keep currentStep, then 50, 100, 200, 500 and
// 1000 from the 5th, 31st, 51st, 101st and 151st event on; beyond 65535
// events currentStep stays.
int stepAfter(quint32 stepCount, int currentStep);

} // namespace StepperAcceleration
