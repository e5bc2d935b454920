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

bool plain(char16_t c, bool fontName)
{
    return c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}' && !(fontName && c == ';');
}

void append(QByteArray &out, QStringView text, bool fontName)
{
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        // Most text needs no escape: copied a stretch at a time, not a character at a time.
        if (plain(units[i], fontName)) {
            qsizetype end = i + 1;
            while (end < size && plain(units[end], fontName))
                ++end;
            const qsizetype at = out.size();
            out.resize(at + (end - i));
            char *to = out.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *to++ = char(units[k]);
            i = end - 1;
            continue;
        }
        const char16_t c = units[i];
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
