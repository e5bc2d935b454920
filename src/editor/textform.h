#pragma once

#include <QTextFormat>

#include <optional>

class QTextBlock;
class QTextDocument;

namespace PlainText {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
enum class LineEnd { Lf, CrLf, Cr };

// How a text file was written, remembered by the document it was read into so that saving
// writes it back the same way.
struct Form {
    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
    LineEnd lineEnd = LineEnd::Lf; // the file's most common one

    friend bool operator==(const Form &, const Form &) = default;
};

// What a text file's bytes leave in the document beyond its characters.
enum Property {
    // On the root frame: the form.
    FormEncoding = QTextFormat::UserProperty + 0x7400,
    FormByteOrderMark,
    FormLineEnd,
    // On a paragraph: the line end after it, where it is not the file's most common one.
    // A paragraph split by Enter passes it on to both halves.
    ParagraphLineEnd,
    // On a character: the file's bytes that it stands for. Bytes invalid in the file's
    // encoding show as U+FFFD, and characters the editing area would take as structure
    // (U+2029, U+FDD0, U+FDD1, U+FFFC) as U+FFFD or, for U+2028, as itself.
    StandsFor,
    // On each paragraph that is a piece of a long line (see textdecoding.h): the number of
    // the line's first paragraph as read, and the piece's place in the line.
    PieceOfLine,
    PieceNumber,
};

// Nothing for a document that was not read from a text file (typed new or read as RTF).
std::optional<Form> formOf(const QTextDocument &document);
void setForm(QTextDocument &document, const Form &form);

LineEnd lineEndAfter(const QTextBlock &block, LineEnd usual);
// Whether `next` goes on with the line that `block` is a piece of, with no line end between.
bool continuesLine(const QTextBlock &block, const QTextBlock &next);

} // namespace PlainText
