#include "app/steps.h"

Status runSteps(const Steps &steps)
{
    for (const Step &step : steps) {
        if (Status status = step(); !status.ok())
            return status;
    }
    return {};
}

void runStepsIgnoringFailures(const Steps &steps)
{
    for (const Step &step : steps)
        (void)step();
}
