#pragma once

#include "app/steps.h"
#include "commands/command.h"
#include "commands/commandtargets.h"

#include <functional>
#include <span>
#include <string_view>

// What a command does when one of its steps fails.
enum class OnFailure {
    Report,   // stop there and show the error once (menu commands)
    PassOver, // say nothing and run the next step (toolbar buttons)
};

// Everything about one command, wherever it appears.
struct CommandRow {
    Command id;
    std::string_view name;     // object name of its menu item, or key of its toolbar button
    std::string_view caption;  // caption of its menu item, or tooltip of its button (empty: none)
    std::string_view shortcut; // empty, or Ctrl plus one letter
    std::string_view picture;  // key of its button's picture in the image list; empty: no button
    OnFailure onFailure;
    bool checkable;            // its menu item carries a check mark that commands set and clear
    std::function<Steps(CommandTargets &)> steps;
};

// All rows, in the order of `Command`.
std::span<const CommandRow> commandRows();
const CommandRow &commandRow(Command id);

// Runs the command's steps, handling a failure as its row says.
void runCommand(Command id, CommandTargets &targets);
