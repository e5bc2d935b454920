#pragma once

#include <QString>
#include <QStringDecoder>
#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace rtf {

// Characters that never reach the document as text: C0 controls other than tab (stray
// bytes would otherwise become line or paragraph breaks), the paragraph separator, and
// the markers Qt uses for frames and embedded objects.
constexpr bool isDroppedCharacter(char32_t c)
{
    return (c < 0x20 && c != U'\t') || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC;
}

// The Windows code page that a font's \fcharset implies, or 0 when the charset says
// nothing about it (DEFAULT_CHARSET and unknown values).
int codePageForCharset(int charset);

// Turns bytes of one code page into text. Single-byte pages go through a 256-entry table
// built once; multi-byte pages (932, 936, 949, 950, UTF-8...) through Qt's converter.
// Dropped characters (see above) decode to nothing.
class CodePage
{
public:
    explicit CodePage(int codePage);

    int number() const { return m_number; }
    bool isMultiByte() const { return m_multiByte; }
    void decode(std::string_view bytes, QString &out);
    // Null for single-byte pages.
    const std::array<bool, 256> *leadBytes() const { return m_hasLeadBytes ? &m_leadBytes : nullptr; }

private:
    int m_number;
    bool m_multiByte = false;
    bool m_swapsControls = false; // the converter gives 0x1C and 0x7F as IBM's pages do
    std::array<char16_t, 256> m_table{};
    std::unique_ptr<QStringDecoder> m_decoder;
    bool m_hasLeadBytes = false;
    std::array<bool, 256> m_leadBytes{};
};

class CodePages
{
public:
    CodePage &get(int codePage);

private:
    std::unordered_map<int, std::unique_ptr<CodePage>> m_pages;
};

} // namespace rtf
