#include "editor/filecommands.h"

#include "editor/commondialog.h"
#include "editor/richtextbox.h"

#include <memory>

namespace {

Steps fileSteps(RichTextBox &box, CommonDialog &dialog, const QString &filter, DocumentKind kind,
                bool save)
{
    auto confirmed = std::make_shared<bool>(false);
    return {
        infallible([&dialog, filter] { dialog.setFilter(filter); }),
        infallible([&dialog, confirmed, save] {
            *confirmed = save ? dialog.showSave() : dialog.showOpen();
        }),
        [&box, &dialog, confirmed, kind, save]() -> Status {
            if (!*confirmed)
                return {};
            return save ? box.saveFile(dialog.fileName(), kind)
                        : box.loadFile(dialog.fileName(), kind);
        },
    };
}

} // namespace

Steps openFileSteps(RichTextBox &box, CommonDialog &dialog, const QString &filter, DocumentKind kind)
{
    return fileSteps(box, dialog, filter, kind, false);
}

Steps saveFileSteps(RichTextBox &box, CommonDialog &dialog, const QString &filter, DocumentKind kind)
{
    return fileSteps(box, dialog, filter, kind, true);
}

Steps clearDocumentSteps(RichTextBox &box)
{
    return {infallible([&box] { box.replaceWithText(QString()); })};
}
