#include "commands/formatsteps.h"

Steps formatSteps(const FormatValue &value, const std::vector<FormatStep> &order, CommandTargets &targets)
{
    Steps steps;
    for (const FormatStep &step : order) {
        if (!step.mark) {
            steps.push_back(infallible([&box = targets.box, value] { applyFormat(value, box); }));
        } else {
            const bool checked = *step.mark == Mark::Set;
            steps.push_back(infallible([marks = targets.marks, item = step.item, checked] { marks(item, checked); }));
        }
    }
    return steps;
}
