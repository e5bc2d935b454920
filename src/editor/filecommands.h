#pragma once

#include "app/steps.h"
#include "editor/documentkind.h"

#include <QString>

class CommonDialog;
class RichTextBox;

namespace FileFilter {
inline const QString Rtf = QStringLiteral("RTF files (*.RTF)|*.RTF");
inline const QString Text = QStringLiteral("Text files (*.TXT)|*.TXT");
} // namespace FileFilter

// Open and save run the same steps: set the dialog's filter, show it, and load or save
// the chosen file. A cancelled dialog ends the command with nothing loaded or saved.
Steps openFileSteps(RichTextBox &box, CommonDialog &dialog, const QString &filter, DocumentKind kind);
Steps saveFileSteps(RichTextBox &box, CommonDialog &dialog, const QString &filter, DocumentKind kind);

// New file and Clear document: the document is emptied at once.
Steps clearDocumentSteps(RichTextBox &box);
