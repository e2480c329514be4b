#include "setup/logic/stepperacceleration.h"

namespace StepperAcceleration {

int stepAfter(quint32 stepCount, int currentStep)
{
    struct Band {
        quint32 from;
        quint32 to;
        int step;
    };
    static constexpr Band Bands[] = {
        {5, 30, 50}, {31, 50, 100}, {51, 100, 200}, {101, 150, 500}, {151, 65535, 1000}};
    for (const Band &band : Bands)
        if (stepCount >= band.from && stepCount <= band.to)
            return band.step;
    return currentStep;
}

} // namespace StepperAcceleration
