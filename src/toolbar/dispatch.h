#pragma once

#include "app/steps.h"
#include "editor/clipboardtext.h"

#include <QString>

#include <span>

class CommonDialog;
class FormRegistry;
class RichTextBox;

// What the toolbar's commands act on.
struct ToolbarTargets {
    RichTextBox &box;
    CommonDialog &dialog;
    FormRegistry &registry;
    ClipboardReader clipboard;
};

struct DispatchRow {
    const char *key;
    Steps (*steps)(ToolbarTargets &);
};

// The toolbar's commands in the order they are tried.
std::span<const DispatchRow> dispatchRows();

namespace ToolbarFilter {
// The toolbar's Open names its type "RTF file", its Save "RTF files".
inline const QString Open = QStringLiteral("RTF file (*.RTF)|*.RTF");
inline const QString Save = QStringLiteral("RTF files (*.RTF)|*.RTF");
} // namespace ToolbarFilter

// Runs the command of a pressed button's key. Keys match exactly (case, spaces); the first
// equal row wins and an unknown key does nothing. A failing step is passed over without a
// word and the row's next step runs.
void dispatchToolbarKey(const QString &key, ToolbarTargets &targets);
