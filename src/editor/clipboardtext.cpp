#include "editor/clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

Result<QString> systemClipboardText()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return Error{ErrorNumber::ClipboardUnavailable, QStringLiteral("Can't open the clipboard")};
    const QMimeData *content = clipboard->mimeData(QClipboard::Clipboard);
    if (!content || !content->hasText())
        return QString();
    return content->text();
}
