#include "editor/editcommands.h"

#include "editor/richtextbox.h"

Steps insertTextSteps(RichTextBox &box, const QString &text)
{
    return {infallible([&box, text] { box.setSelectionText(text); })};
}

Steps alignSteps(RichTextBox &box, Qt::Alignment alignment)
{
    return {infallible([&box, alignment] { box.setSelectionAlignment(alignment); })};
}

Steps bulletSteps(RichTextBox &box, bool on)
{
    return {infallible([&box, on] { box.setSelectionBullet(on); })};
}

Steps pasteSteps(RichTextBox &box, const ClipboardReader &clipboard)
{
    // One step: when the clipboard cannot be read, the selection is left alone.
    return {
        [&box, clipboard]() -> Status {
            Result<QString> read = clipboard();
            if (!read.ok())
                return read.error();
            box.setSelectionText(read.value());
            return {};
        },
    };
}
