#include "editor/editcommands.h"

#include "editor/filecommands.h"
#include "editor/richtextbox.h"


namespace {

auto insertText(QString text)
{
    return [text](RichTextBox &box, const ClipboardReader &) -> Steps {
        return {infallible([&box, text] { box.setSelectionText(text); })};
    };
}

auto align(qint16 alignment)
{
    return [alignment](RichTextBox &box, const ClipboardReader &) -> Steps {
        return {infallible([&box, alignment] { box.setSelectionAlignment(alignment); })};
    };
}

auto bullets(bool on)
{
    return [on](RichTextBox &box, const ClipboardReader &) -> Steps {
        return {infallible([&box, on] { box.setSelectionBullet(on); })};
    };
}

const EditCommand commands[] = {
    {"left", align(0)},
    {"right", align(1)},
    {"center", align(2)},
    {"on", bullets(true)},
    {"off", bullets(false)},
    {"mnuautotextdear", insertText(QStringLiteral("Dear"))},
    {"mnuautotexthello", insertText(QStringLiteral("Hello"))},
    {"mnuautowelcome", insertText(QStringLiteral("Welcome"))},
    {"hi", insertText(QStringLiteral("Hi"))},
    {"return", insertText(QStringLiteral("Return"))},
    // A fixed text, never today's date.
    {"mnuinsertdate", insertText(QStringLiteral("00/00/2002"))},
    {"mnueditpaste", pasteSteps},
    {"mnucleardoc", [](RichTextBox &box, const ClipboardReader &) { return clearDocumentSteps(box); }},
};

} // namespace

std::span<const EditCommand> editCommands()
{
    return commands;
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
