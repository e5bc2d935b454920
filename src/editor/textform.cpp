#include "editor/textform.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace PlainText {

std::optional<Form> formOf(const QTextDocument &document)
{
    const QTextFrameFormat format = document.rootFrame()->frameFormat();
    if (!format.hasProperty(FormEncoding))
        return std::nullopt;
    return Form{Encoding(format.intProperty(FormEncoding)), format.boolProperty(FormByteOrderMark),
                LineEnd(format.intProperty(FormLineEnd))};
}

void setForm(QTextDocument &document, const Form &form)
{
    QTextFrameFormat format = document.rootFrame()->frameFormat();
    format.setProperty(FormEncoding, int(form.encoding));
    format.setProperty(FormByteOrderMark, form.byteOrderMark);
    format.setProperty(FormLineEnd, int(form.lineEnd));
    document.rootFrame()->setFrameFormat(format);
}

LineEnd lineEndAfter(const QTextBlock &block, LineEnd usual)
{
    const QTextBlockFormat format = block.blockFormat();
    return format.hasProperty(ParagraphLineEnd) ? LineEnd(format.intProperty(ParagraphLineEnd)) : usual;
}

// Enter in a piece gives both halves the piece's place, and so a line end between them;
// two pieces joined into one keep the first one's place, still before the next piece's.
bool continuesLine(const QTextBlock &block, const QTextBlock &next)
{
    const QTextBlockFormat format = block.blockFormat(), nextFormat = next.blockFormat();
    return format.hasProperty(PieceOfLine) && nextFormat.hasProperty(PieceOfLine)
           && format.intProperty(PieceOfLine) == nextFormat.intProperty(PieceOfLine)
           && nextFormat.intProperty(PieceNumber) > format.intProperty(PieceNumber);
}

} // namespace PlainText
