#pragma once

#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <string_view>

namespace rtf {

enum class TokenType : std::uint8_t {
    End,
    GroupOpen,
    GroupClose,
    Text,          // a run of literal bytes, still in the document's code page
    HexByte,       // \'hh
    ControlWord,   // \name or \nameN
    ControlSymbol, // \ followed by one non-letter, other than \' (e.g. \~ \* \{)
    Binary,        // the payload after \binN
};

struct Token {
    TokenType type = TokenType::End;
    bool hasParameter = false;
    char symbol = 0;                 // ControlSymbol
    std::uint8_t byte = 0;           // HexByte
    std::int32_t parameter = 0;      // ControlWord, clamped to 32 bits
    std::string_view name;           // ControlWord
    std::string_view bytes;          // Text, Binary
    qint64 offset = 0;
};

// Splits RTF bytes into tokens without allocating. Line breaks and other C0 controls
// (except tab) are dropped between tokens: producers wrap lines freely and WordPad
// pads files with NUL bytes.
class Tokenizer
{
public:
    explicit Tokenizer(QByteArrayView input);

    Token next();

    // In a double-byte code page a lead byte takes the next byte with it, even when that
    // byte is a brace or backslash. Null means a single-byte page.
    void setLeadBytes(const std::array<bool, 256> *leadBytes) { m_leadBytes = leadBytes; }
    qint64 offset() const { return m_pos - m_begin; }

private:
    // Reads the control word or symbol at `pos` into `token`, which starts out as End at
    // its offset; returns where the input goes on.
    const char *controlSequence(const char *pos, Token &token) const;

    const char *m_begin;
    const char *m_pos;
    const char *m_end;
    const std::array<bool, 256> *m_leadBytes = nullptr;
};

} // namespace rtf
