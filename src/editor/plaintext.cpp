#include "editor/plaintext.h"

#include "editor/textdecoding.h"
#include "editor/textencoding.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace PlainText {
namespace {

QStringView lineEndText(LineEnd end)
{
    switch (end) {
    case LineEnd::CrLf: return u"\r\n";
    case LineEnd::Cr: return u"\r";
    case LineEnd::Lf: break;
    }
    return u"\n";
}

// A soft line break typed into a paragraph (U+2028 that stands for nothing) ends a line in
// the file as the paragraph's own line end does.
void appendBlock(TextEncoder &out, const QTextBlock &block, LineEnd lineEnd)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QByteArray standsFor = fragment.charFormat().property(StandsFor).toByteArray();
        const QString text = fragment.text();
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < QChar::LineSeparator) // below every character looked for: most of them
                continue;
            const bool standIn = !standsFor.isEmpty()
                                 && (c == QChar::ReplacementCharacter || c == QChar::LineSeparator);
            if (!standIn && c != QChar::LineSeparator && c != QChar::ObjectReplacementCharacter)
                continue;
            out.append(QStringView(text).sliced(from, i - from));
            if (standIn)
                out.appendBytes(standsFor);
            else if (c == QChar::LineSeparator)
                out.append(lineEndText(lineEnd));
            from = i + 1;
        }
        out.append(QStringView(text).sliced(from));
    }
}

QByteArray encode(const QTextDocument &document, const Form &form, bool &failed)
{
    TextEncoder out(form.encoding);
    if (form.byteOrderMark)
        out.appendBytes(byteOrderMark(form.encoding));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const LineEnd lineEnd = lineEndAfter(block, form.lineEnd);
        appendBlock(out, block, lineEnd);
        if (const QTextBlock next = block.next(); next.isValid() && !continuesLine(block, next))
            out.append(lineEndText(lineEnd));
    }
    failed = out.failed();
    return out.bytes();
}

} // namespace

void load(QTextDocument &document, QByteArray bytes)
{
    Decoded decoded = decode(bytes);
    bytes = QByteArray();
    document.setUndoRedoEnabled(false);
    // The document keeps a copy of its own.
    document.setPlainText(std::exchange(decoded.text, QString()));
    QTextCursor cursor(&document);
    for (const Decoded::StandIn &standIn : decoded.standIns) {
        cursor.setPosition(int(standIn.position));
        cursor.setPosition(int(standIn.position) + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setProperty(StandsFor, standIn.bytes);
        cursor.mergeCharFormat(format);
    }
    for (const Decoded::OtherLineEnd &other : decoded.otherLineEnds) {
        QTextCursor at(document.findBlockByNumber(other.paragraph));
        QTextBlockFormat format;
        format.setProperty(ParagraphLineEnd, int(other.lineEnd));
        at.mergeBlockFormat(format);
    }
    int firstPiece = 0;
    const auto markPiece = [&](int paragraph) {
        QTextCursor at(document.findBlockByNumber(paragraph));
        QTextBlockFormat format;
        format.setProperty(PieceOfLine, firstPiece);
        format.setProperty(PieceNumber, paragraph - firstPiece);
        at.mergeBlockFormat(format);
    };
    for (qsizetype i = 0; i < decoded.pieceEnds.size(); ++i) {
        const int paragraph = decoded.pieceEnds.at(i);
        if (i == 0 || decoded.pieceEnds.at(i - 1) != paragraph - 1) {
            firstPiece = paragraph;
            markPiece(paragraph);
        }
        markPiece(paragraph + 1);
    }
    setForm(document, decoded.form);
    document.setUndoRedoEnabled(true);
    document.setModified(false);
}

QByteArray save(const QTextDocument &document)
{
    Form form = formOf(document).value_or(Form{});
    bool failed = false;
    QByteArray bytes = encode(document, form, failed);
    if (failed) {
        form.encoding = Encoding::Utf8;
        form.byteOrderMark = false;
        bytes = encode(document, form, failed);
    }
    return bytes;
}

} // namespace PlainText
