#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace PlainText {

// Decodes a text file: UTF-8 (with or without a byte-order mark), UTF-16 LE or BE with a
// byte-order mark, and Windows-1252 where the bytes are not valid UTF-8. CR LF, CR and LF
// line breaks all become LF.
QString decode(const QByteArray &bytes);

// Encodes as UTF-8 without a byte-order mark, with LF line breaks.
QByteArray encode(const QString &text);

// The document's characters with one LF between paragraphs and for each line break;
// objects such as pictures have no characters and are left out.
QString fromDocument(const QTextDocument &document);

} // namespace PlainText
