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
            // The start is all that decides: the load reads the whole file once, after.
            const QByteArrayView rtfStart = "{\\rtf";
            const Result<QByteArray> start = DocumentFile::readStart(fileName, rtfStart.size());
            if (!start.ok())
                return start.error();
            if (start.value() == rtfStart)
                *kind = DocumentKind::Rtf;
            return {};
        },
        [&box, fileName, kind]() -> Status { return box.loadFile(fileName, *kind); },
    };
}
