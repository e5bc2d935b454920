#include "rtf/rtf.h"

#include "rtf/documentbuilder.h"
#include "rtf/keptformat.h"
#include "rtf/reader.h"

#include <QTextBlockFormat>

namespace rtf {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::optional<ReadError> read(QByteArrayView input, QTextDocument &document)
{
    // Tolerate what editors and mail programs put around a document: a byte order mark
    // and blank lines before it, line breaks between the brace and \rtf.
    qsizetype pos = input.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < input.size() && isBlank(input[pos]))
        ++pos;
    const qsizetype start = pos;
    bool valid = pos < input.size() && input[pos] == '{';
    if (valid) {
        ++pos;
        while (pos < input.size() && isBlank(input[pos]))
            ++pos;
        valid = input.sliced(pos).startsWith("\\rtf");
    }
    if (!valid) {
        return ReadError{pos, input.isEmpty()
                                  ? QStringLiteral("invalid file format: the file is empty")
                                  : QStringLiteral("invalid file format: the file does not start with {\\rtf")};
    }

    DocumentBuilder builder(document);
    Reader reader(builder);
    reader.read(input.sliced(start));
    return std::nullopt;
}

bool startsPage(const QTextBlockFormat &format)
{
    return format.boolProperty(StartsPage) || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
}

} // namespace rtf
