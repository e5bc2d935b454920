#pragma once

#include <QByteArray>
#include <QStringView>

namespace rtf {

// Appends text as RTF reads it back: ASCII as itself, braces and backslashes escaped, the
// characters RTF has words for as those words, everything else as \uN with "?" for readers
// without Unicode.
void appendEscapedText(QByteArray &out, QStringView text);

// The same for text in a symbol font (\\fcharset2), which the reader decodes as Windows-1252:
// other readers take its bytes for the font's own glyphs but a \\u for the Unicode character,
// which the font has no glyph for. So what that code page has goes back as bytes.
void appendEscapedSymbolText(QByteArray &out, QStringView text);

// The same for a font name, read back as plain characters up to its ";".
void appendEscapedFontName(QByteArray &out, QStringView name);

} // namespace rtf
