#pragma once

#include "commands/command.h"

#include <span>
#include <string_view>

// What choosing a menu item does.
enum class MenuItemRole {
    Submenu, // opens its submenu and runs nothing
    Command, // runs its command
    Nothing, // runs nothing
};

// One item of the menu bar, in display order. Level 1 is a menu on the bar; an item
// belongs to the nearest item above it whose level is one lower. A command's item takes
// its name, caption, shortcut and check mark from the command table.
struct MenuRow {
    int level;
    std::string_view name;
    std::string_view caption;
    std::string_view shortcut; // empty, or Ctrl plus one letter
    MenuItemRole role;
    bool enabled = true;
    bool checkable = false; // carries a check mark that formatting commands set and clear
    ::Command command = ::Command::Count; // the command a Command item runs
};

std::span<const MenuRow> menuRows();
