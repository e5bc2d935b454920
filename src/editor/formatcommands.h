#pragma once

#include "app/steps.h"
#include "editor/colour.h"

#include <functional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

class RichTextBox;

// The character formatting commands of the Format menu. Each sets one attribute on the
// selection and sets or clears check marks of its own submenu, in a fixed order of steps.
struct TextColour { BgrColour value; };
struct FontSize { qint16 points; };
struct FontName { std::string_view name; };
struct Bold { bool on; };
struct Strikethrough { bool on; };
using FormatValue = std::variant<TextColour, FontSize, FontName, Bold, Strikethrough>;

struct FormatCommand {
    std::string_view item;
    FormatValue value;
    // "+name" marks an item, "-name" clears one, "=" applies the value to the selection.
    std::vector<std::string_view> steps;
};

std::span<const FormatCommand> formatCommands();

// Sets or clears the check mark of the named menu item.
using CheckMarkSetter = std::function<void(std::string_view item, bool checked)>;

Steps formatSteps(const FormatCommand &command, RichTextBox &box, const CheckMarkSetter &marks);
void applyFormat(const FormatValue &value, RichTextBox &box);
