#include "editor/startupfile.h"

#include "editor/documentfile.h"
#include "editor/documentkind.h"
#include "editor/richtextbox.h"

#include <memory>

Steps openStartupFileSteps(RichTextBox &box, const QString &fileName)
{
    // The file's content decides, not its name: "Open with" hands over any name.
    auto kind = std::make_shared<DocumentKind>(DocumentKind::PlainText);
    return {
        [fileName, kind]() -> Status {
            Result<QByteArray> bytes = DocumentFile::read(fileName);
            if (!bytes.ok())
                return bytes.error();
            if (bytes.value().startsWith("{\\rtf"))
                *kind = DocumentKind::Rtf;
            return {};
        },
        [&box, fileName, kind]() -> Status { return box.loadFile(fileName, *kind); },
    };
}
