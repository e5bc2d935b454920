#pragma once

#include "commands/command.h"
#include "editor/clipboardtext.h"

#include <functional>

class CommonDialog;
class FormRegistry;
class RichTextBox;

// Sets or clears the check mark of a command's menu item.
using CheckMarkSetter = std::function<void(Command item, bool checked)>;

// What the commands act on; tests swap the clipboard in it.
struct CommandTargets {
    RichTextBox &box;
    CommonDialog &dialog;
    FormRegistry &registry;
    ClipboardReader clipboard;
    CheckMarkSetter marks;
};
