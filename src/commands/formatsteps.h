#pragma once

#include "app/steps.h"
#include "commands/commandtargets.h"
#include "editor/formatcommands.h"

#include <optional>
#include <vector>

enum class Mark { Set, Clear };

// One step of a formatting command: set or clear the check mark of a menu item, or (the
// default) apply the command's value to the selection.
struct FormatStep {
    constexpr FormatStep() = default;
    constexpr FormatStep(Mark mark, Command item) : mark(mark), item(item) {}
    std::optional<Mark> mark;
    Command item = Command::Count;
};
inline constexpr FormatStep Apply{};

// The steps in the order given: marks are indicators only, and a step that fails leaves
// the marks of the steps before it.
Steps formatSteps(const FormatValue &value, const std::vector<FormatStep> &order, CommandTargets &targets);
