#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

class QTextBlock;
class QTextBlockFormat;
class QTextDocument;

namespace rtf {

struct ReadError {
    qint64 offset = 0;
    QString description;
};

// Reads RTF bytes into `document`, which the caller passes empty. Input that does not
// start as RTF fails with a description that says "invalid file format"; anything else,
// however damaged, reads as much as it can and succeeds.
std::optional<ReadError> read(QByteArrayView input, QTextDocument &document);

// Writes the whole document as RTF that read() gives back unchanged: text, character
// formats (family, size, weight, italic, underline, strikeout, colours, super/subscript)
// and paragraph formats (alignment, indents, spacing, lists). A paragraph of the body for
// which `goesOnInNext` holds is written as one with the paragraph after it (a text file's
// long line, shown in pieces, stays one line).
QByteArray write(const QTextDocument &document, const std::function<bool(const QTextBlock &)> &goesOnInNext = {});

// Whether a paragraph starts a new page. read() marks such paragraphs with a property of its
// own, not with the toolkit's page break: the editing area lays a long document out in pages
// millions of pixels high, and a page break of the toolkit's would start the paragraph at the
// next of those. The toolkit's own mark counts too, for text pasted from elsewhere.
bool startsPage(const QTextBlockFormat &format);

} // namespace rtf
