#pragma once

#include "editor/textform.h"

#include <QByteArray>
#include <QStringView>

namespace PlainText {

// Appends text in one encoding. Lone surrogates have no UTF-8 form and become U+FFFD;
// in Windows-1252 most characters have no form at all, which makes the whole encoding fail.
class TextEncoder
{
public:
    explicit TextEncoder(Encoding encoding) : m_encoding(encoding) {}

    void append(QStringView text);
    void appendBytes(QByteArrayView bytes) { m_bytes.append(bytes); }
    bool failed() const { return m_failed; }
    QByteArray bytes() const { return m_bytes; }

private:
    void appendUtf8(char32_t c);

    Encoding m_encoding;
    QByteArray m_bytes;
    bool m_failed = false;
};

QByteArrayView byteOrderMark(Encoding encoding);

} // namespace PlainText
