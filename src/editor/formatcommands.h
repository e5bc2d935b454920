#pragma once

#include "editor/colour.h"

#include <string_view>
#include <variant>

class RichTextBox;

// The character formatting the Format menu sets on the selection, one attribute at a time.
struct TextColour { BgrColour value; };
struct FontSize { qint16 points; };
struct FontName { std::string_view name; };
struct Bold { bool on; };
struct Strikethrough { bool on; };
using FormatValue = std::variant<TextColour, FontSize, FontName, Bold, Strikethrough>;

void applyFormat(const FormatValue &value, RichTextBox &box);
