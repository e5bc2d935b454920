#pragma once

#include "app/steps.h"
#include "editor/clipboardtext.h"

#include <QString>

class RichTextBox;

// The paragraph, insertion and clipboard commands' steps. None of them touches a check mark.
Steps insertTextSteps(RichTextBox &box, const QString &text);
Steps alignSteps(RichTextBox &box, Qt::Alignment alignment);
Steps bulletSteps(RichTextBox &box, bool on);

// Paste: get the clipboard's plain text, then put it in place of the selection. Only the
// plain text is read, so formatting on the clipboard never arrives.
Steps pasteSteps(RichTextBox &box, const ClipboardReader &clipboard);
