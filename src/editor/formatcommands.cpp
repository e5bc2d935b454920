#include "editor/formatcommands.h"

#include "editor/richtextbox.h"

namespace {

template<class... Ts>
struct Overloaded : Ts... { using Ts::operator()...; };

} // namespace

void applyFormat(const FormatValue &value, RichTextBox &box)
{
    std::visit(Overloaded{
                   [&](TextColour v) { box.setSelectionColor(colourFromBgr(v.value)); },
                   [&](FontSize v) { box.setSelectionFontSize(v.points); },
                   [&](FontName v) {
                       box.setSelectionFontName(QString::fromUtf8(v.name.data(), qsizetype(v.name.size())));
                   },
                   [&](Bold v) { box.setSelectionBold(v.on); },
                   [&](Strikethrough v) { box.setSelectionStrikethrough(v.on); },
               },
               value);
}
