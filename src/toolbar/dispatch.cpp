#include "toolbar/dispatch.h"

#include "app/formregistry.h"
#include "editor/editcommands.h"
#include "editor/filecommands.h"
#include "editor/richtextbox.h"

namespace {

template<void (RichTextBox::*set)(bool), bool on>
Steps setStyle(ToolbarTargets &t)
{
    return {infallible([&box = t.box] { (box.*set)(on); })};
}

template<FormKind kind>
Steps showForm(ToolbarTargets &t)
{
    return {infallible([&registry = t.registry] { registry.showForm(kind); })};
}

constexpr DispatchRow rows[] = {
    {"unbold1", setStyle<&RichTextBox::setSelectionBold, false>},
    {"ununderline", setStyle<&RichTextBox::setSelectionUnderline, false>},
    {"uni", setStyle<&RichTextBox::setSelectionItalic, false>},
    {"Open", [](ToolbarTargets &t) {
         return openFileSteps(t.box, t.dialog, ToolbarFilter::Open, DocumentKind::Rtf);
     }},
    {"Save", [](ToolbarTargets &t) {
         return saveFileSteps(t.box, t.dialog, ToolbarFilter::Save, DocumentKind::Rtf);
     }},
    {"Paste", [](ToolbarTargets &t) { return pasteSteps(t.box, t.clipboard); }},
    {"New", [](ToolbarTargets &t) { return clearDocumentSteps(t.box); }},
    {"Italic", setStyle<&RichTextBox::setSelectionItalic, true>},
    {"Bold", setStyle<&RichTextBox::setSelectionBold, true>},
    {"Underline", setStyle<&RichTextBox::setSelectionUnderline, true>},
    {"Properties", showForm<FormKind::Options>},
    {"Help", showForm<FormKind::About>},
};

} // namespace

std::span<const DispatchRow> dispatchRows()
{
    return rows;
}

void dispatchToolbarKey(const QString &key, ToolbarTargets &targets)
{
    for (const DispatchRow &row : rows) {
        if (key == QLatin1String(row.key)) {
            runStepsIgnoringFailures(row.steps(targets));
            return;
        }
    }
}
