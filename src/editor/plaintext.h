#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QTextDocument;

// Text files in and out of the editing area, byte for byte: the document remembers the
// file's encoding, byte-order mark and line ends (see textform.h), and keeps bytes that are
// invalid in that encoding and characters it would otherwise take as structure.
namespace PlainText {

// Replaces the document's contents with the file's text. The document has nothing to undo
// afterwards. The bytes are let go of once decoded: a caller that moves them in frees
// them before the document is built.
void load(QTextDocument &document, QByteArray bytes);

// The document as a text file: as it was read, for a document read from one; UTF-8 without
// a byte-order mark and with LF otherwise. Where the text has come to hold characters that
// Windows-1252 cannot write, the file becomes UTF-8 rather than lose them. Pictures and
// other objects have no characters and are left out.
QByteArray save(const QTextDocument &document);

} // namespace PlainText
