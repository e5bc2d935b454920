#include "editor/textencoding.h"

#include "editor/windows1252.h"

#include <algorithm>

namespace PlainText {

void TextEncoder::append(QStringView text)
{
    switch (m_encoding) {
    case Encoding::Utf8:
        // Qt's own encoder is much faster, but writes a lone surrogate as '?'.
        if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); })) {
            m_bytes.append(text.toUtf8());
            break;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                appendUtf8(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
                ++i;
            } else {
                appendUtf8(QChar::isSurrogate(unit) ? char32_t(QChar::ReplacementCharacter) : unit);
            }
        }
        break;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        for (QChar c : text) {
            const char16_t unit = c.unicode();
            const char high = char(unit >> 8), low = char(unit & 0xFF);
            if (m_encoding == Encoding::Utf16LE)
                m_bytes.append(low).append(high);
            else
                m_bytes.append(high).append(low);
        }
        break;
    case Encoding::Windows1252:
        for (QChar c : text) {
            if (const auto byte = Windows1252::fromUnicode(c.unicode()))
                m_bytes.append(char(*byte));
            else
                m_failed = true;
        }
        break;
    }
}

void TextEncoder::appendUtf8(char32_t c)
{
    if (c < 0x80) {
        m_bytes.append(char(c));
    } else if (c < 0x800) {
        m_bytes.append(char(0xC0 | c >> 6)).append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        m_bytes.append(char(0xE0 | c >> 12)).append(char(0x80 | (c >> 6 & 0x3F))).append(char(0x80 | (c & 0x3F)));
    } else {
        m_bytes.append(char(0xF0 | c >> 18)).append(char(0x80 | (c >> 12 & 0x3F)));
        m_bytes.append(char(0x80 | (c >> 6 & 0x3F))).append(char(0x80 | (c & 0x3F)));
    }
}

QByteArrayView byteOrderMark(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8: return "\xEF\xBB\xBF";
    case Encoding::Utf16LE: return QByteArrayView("\xFF\xFE", 2);
    case Encoding::Utf16BE: return QByteArrayView("\xFE\xFF", 2);
    case Encoding::Windows1252: break;
    }
    return {};
}

} // namespace PlainText
