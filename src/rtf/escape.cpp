#include "rtf/escape.h"

#include "rtf/codepage.h"

#include <cstdint>

namespace rtf {

namespace {

void appendUnicode(QByteArray &out, char16_t unit)
{
    // Word writes the 16-bit unit as a signed number.
    out += "\\u";
    out += QByteArray::number(int(std::int16_t(unit)));
    out += '?';
}

void append(QByteArray &out, QStringView text, bool fontName)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}')
                out += '\\';
            else if (fontName && c == ';') {
                out += "\\'3b";
                continue;
            }
            out += char(c);
            continue;
        }
        if (isDroppedCharacter(c))
            continue; // the reader would drop it too
        if (fontName) {
            // A font name is read as plain characters: named symbols like \~ would be lost.
            appendUnicode(out, c);
            continue;
        }
        switch (c) {
        case u'\t': out += "\\tab "; break;
        case 0x2028: out += "\\line "; break;
        case 0x00A0: out += "\\~"; break;
        case 0x00AD: out += "\\-"; break;
        case 0x2011: out += "\\_"; break;
        default:
            if (c >= 0x80)
                appendUnicode(out, c);
            break;
        }
    }
}

} // namespace

void appendEscapedText(QByteArray &out, QStringView text) { append(out, text, false); }

void appendEscapedFontName(QByteArray &out, QStringView name) { append(out, name, true); }

} // namespace rtf
