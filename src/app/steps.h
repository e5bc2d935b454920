#pragma once

#include "app/error.h"

#include <functional>
#include <initializer_list>
#include <vector>

// A command is a fixed sequence of steps run in order, with no tests between them.
using Step = std::function<Status()>;
using Steps = std::vector<Step>;

// Runs the steps in order and stops at the first that fails; the steps before it stay
// done. Returns that failure, or success.
Status runSteps(const Steps &steps);

// Runs every step; a failing step is passed over without a word and the next one runs.
void runStepsIgnoringFailures(const Steps &steps);

// Adapts an action that cannot fail into a step.
template<typename F>
Step infallible(F action)
{
    return [action = std::move(action)]() -> Status {
        action();
        return {};
    };
}
