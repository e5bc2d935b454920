#pragma once

#include "app/steps.h"
#include "editor/clipboardtext.h"

#include <span>
#include <string_view>

class RichTextBox;

// The paragraph, insertion, clipboard and clear commands, by the name of the menu item
// that runs them. None of them touches a check mark.
struct EditCommand {
    std::string_view item;
    std::function<Steps(RichTextBox &, const ClipboardReader &)> steps;
};

std::span<const EditCommand> editCommands();

// Paste: get the clipboard's plain text, then put it in place of the selection. Only the
// plain text is read, so formatting on the clipboard never arrives.
Steps pasteSteps(RichTextBox &box, const ClipboardReader &clipboard);
