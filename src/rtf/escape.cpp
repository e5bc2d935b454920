#include "rtf/escape.h"

#include "rtf/codepage.h"

#include <algorithm>
#include <array>
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

// The byte Windows-1252 gives a character above ASCII; 0 where it has none. Only text in a
// symbol font asks, which is rare and short: its 128 characters are looked through.
unsigned char windows1252Byte(char16_t c)
{
    static const auto upper = [] {
        std::array<char16_t, 0x80> chars{};
        CodePage page(1252);
        for (int b = 0x80; b < 0x100; ++b) {
            QString decoded;
            const char byte = char(b);
            page.decode(std::string_view(&byte, 1), decoded);
            if (decoded.size() == 1)
                chars[std::size_t(b - 0x80)] = decoded[0].unicode();
        }
        return chars;
    }();
    const auto found = std::find(upper.begin(), upper.end(), c);
    return found == upper.end() ? 0 : static_cast<unsigned char>(0x80 + (found - upper.begin()));
}

void appendByte(QByteArray &out, unsigned char byte)
{
    static constexpr char hex[] = "0123456789abcdef";
    out += "\\'";
    out += hex[byte >> 4];
    out += hex[byte & 0xF];
}

enum class Kind { Text, FontName, SymbolText };

void append(QByteArray &out, QStringView text, Kind kind)
{
    const bool fontName = kind == Kind::FontName;
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
            if (c < 0x80)
                break;
            if (kind == Kind::SymbolText) {
                if (const unsigned char byte = windows1252Byte(c)) {
                    appendByte(out, byte);
                    break;
                }
            }
            appendUnicode(out, c);
            break;
        }
    }
}

} // namespace

void appendEscapedText(QByteArray &out, QStringView text) { append(out, text, Kind::Text); }

void appendEscapedSymbolText(QByteArray &out, QStringView text) { append(out, text, Kind::SymbolText); }

void appendEscapedFontName(QByteArray &out, QStringView name) { append(out, name, Kind::FontName); }

} // namespace rtf
