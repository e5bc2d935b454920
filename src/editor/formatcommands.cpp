#include "editor/formatcommands.h"

#include "editor/richtextbox.h"

namespace {

// Marks are indicators only; the order of steps is kept exactly, so a step that fails
// leaves the marks of the steps before it.
const std::vector<FormatCommand> commands = {
    {"mnucolorblack", TextColour{0x000000},
     {"+mnucolorblack", "-mnucolorred", "-mnucolorwhite", "-mnucolorblue", "=", "-mnucolorgreen"}},
    {"mnucolorwhite", TextColour{0xFFFFFF},
     {"-mnucolorblack", "+mnucolorwhite", "-mnucolorred", "-mnucolorblue", "-mnucolorgreen", "="}},
    {"mnucolorred", TextColour{0x0000FF},
     {"-mnucolorblack", "-mnucolorwhite", "+mnucolorred", "-mnucolorblue", "-mnucolorgreen", "="}},
    {"mnucolorblue", TextColour{0xFF0000},
     {"-mnucolorblack", "-mnucolorwhite", "-mnucolorred", "=", "+mnucolorblue", "-mnucolorgreen"}},
    {"mnucolorgreen", TextColour{0x00FF00},
     {"-mnucolorblack", "-mnucolorwhite", "-mnucolorred", "=", "-mnucolorblue", "+mnucolorgreen"}},

    {"mnuformatsize8", FontSize{8},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "+mnuformatsize8", "-mnuformatsize10",
      "-mnuformatsize18", "-mnuformatsize20", "-mnuformatsize38", "-mnuformatsize60", "-mnuformatsize70", "="}},
    {"mnuformatsize10", FontSize{10},
     {"+mnuformatsize10", "-mnuformatsize8", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize16",
      "-mnuformatsize18", "-mnuformatsize38", "=", "-mnuformatsize20", "-mnuformatsize60", "-mnuformatsize70"}},
    {"mnuformatsize12", FontSize{12},
     {"-mnuformatsize14", "-mnuformatsize10", "-mnuformatsize16", "-mnuformatsize8", "+mnuformatsize12",
      "-mnuformatsize18", "-mnuformatsize38", "=", "-mnuformatsize20", "-mnuformatsize60", "-mnuformatsize70"}},
    {"mnuformatsize14", FontSize{14},
     {"-mnuformatsize12", "-mnuformatsize8", "-mnuformatsize10", "+mnuformatsize14", "-mnuformatsize16",
      "-mnuformatsize18", "-mnuformatsize38", "=", "-mnuformatsize20", "-mnuformatsize60", "-mnuformatsize70"}},
    {"mnuformatsize16", FontSize{16},
     {"-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10", "+mnuformatsize16",
      "-mnuformatsize18", "-mnuformatsize20", "-mnuformatsize38", "-mnuformatsize60", "-mnuformatsize70", "="}},
    {"mnuformatsize18", FontSize{18},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10",
      "+mnuformatsize18", "-mnuformatsize38", "=", "-mnuformatsize20", "-mnuformatsize60", "-mnuformatsize70"}},
    {"mnuformatsize20", FontSize{20},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10",
      "-mnuformatsize18", "+mnuformatsize20", "-mnuformatsize38", "-mnuformatsize60", "-mnuformatsize70", "="}},
    {"mnuformatsize38", FontSize{38},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10",
      "-mnuformatsize18", "-mnuformatsize20", "+mnuformatsize38", "-mnuformatsize60", "-mnuformatsize70", "="}},
    // The item captioned "60" sets 30 points, and the one captioned "78" sets 70.
    {"mnuformatsize60", FontSize{30},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10",
      "-mnuformatsize18", "-mnuformatsize20", "-mnuformatsize38", "+mnuformatsize60", "-mnuformatsize70", "="}},
    {"mnuformatsize70", FontSize{70},
     {"-mnuformatsize16", "-mnuformatsize12", "-mnuformatsize14", "-mnuformatsize8", "-mnuformatsize10",
      "-mnuformatsize18", "-mnuformatsize20", "-mnuformatsize38", "-mnuformatsize60", "=", "+mnuformatsize70"}},

    // Typefaces are passed exactly as named here, which is not always their caption.
    {"mnuformatfontarialblack", FontName{"arial black"},
     {"-mnuformatfontCenturyGothic", "-mnuformatfontSmallFonts", "+mnuformatfontarialblack", "="}},
    {"mnuformatfontCenturyGothic", FontName{"Century Gothic"},
     {"-mnuformatfontarialblack", "=", "+mnuformatfontCenturyGothic", "-mnuformatfontSmallFonts"}},
    {"mnuformatfontSmallFonts", FontName{"Small Fonts"},
     {"-mnuformatfontarialblack", "=", "-mnuformatfontCenturyGothic", "+mnuformatfontSmallFonts"}},

    // Bold "False" never carries a mark, and neither "True" clears its "False" item.
    {"mnuboldtrue", Bold{true}, {"+mnuboldtrue", "="}},
    {"mnuboldfalse", Bold{false}, {"-mnuboldfalse", "=", "-mnuboldtrue"}},
    {"mnustriketrue", Strikethrough{true}, {"=", "+mnustriketrue"}},
    {"mnustrikefalse", Strikethrough{false}, {"=", "-mnustriketrue", "+mnustrikefalse"}},
};

template<class... Ts>
struct Overloaded : Ts... { using Ts::operator()...; };

} // namespace

std::span<const FormatCommand> formatCommands()
{
    return commands;
}

void applyFormat(const FormatValue &value, RichTextBox &box)
{
    std::visit(Overloaded{
                   [&](TextColour v) { box.setSelectionColor(v.value); },
                   [&](FontSize v) { box.setSelectionFontSize(v.points); },
                   [&](FontName v) {
                       box.setSelectionFontName(QString::fromUtf8(v.name.data(), qsizetype(v.name.size())));
                   },
                   [&](Bold v) { box.setSelectionBold(v.on); },
                   [&](Strikethrough v) { box.setSelectionStrikethrough(v.on); },
               },
               value);
}

Steps formatSteps(const FormatCommand &command, RichTextBox &box, const CheckMarkSetter &marks)
{
    Steps steps;
    for (std::string_view step : command.steps) {
        if (step == "=") {
            steps.push_back(infallible([&box, value = command.value] { applyFormat(value, box); }));
        } else {
            const bool mark = step.front() == '+';
            const std::string_view item = step.substr(1);
            steps.push_back(infallible([marks, item, mark] { marks(item, mark); }));
        }
    }
    return steps;
}
