#include "rtf/tokenizer.h"

#include <array>
#include <limits>

namespace rtf {

namespace {

enum CharClass : std::uint8_t { Plain, Backslash, Open, Close, Ignored };

constexpr std::array<std::uint8_t, 256> makeClasses()
{
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 0x20; ++c)
        classes[c] = Ignored;
    classes['\t'] = Plain;
    classes['\\'] = Backslash;
    classes['{'] = Open;
    classes['}'] = Close;
    return classes;
}

constexpr std::array<std::uint8_t, 256> classes = makeClasses();

inline std::uint8_t classOf(char c) { return classes[static_cast<unsigned char>(c)]; }
inline bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Tokenizer::Tokenizer(QByteArrayView input)
    : m_begin(input.data()), m_pos(input.data()), m_end(input.data() + input.size())
{
}

Token Tokenizer::next()
{
    for (;;) {
        while (m_pos < m_end && classOf(*m_pos) == Ignored)
            ++m_pos;
        Token token;
        token.offset = m_pos - m_begin;
        if (m_pos >= m_end)
            return token;
        const char *start = m_pos;
        switch (classOf(*m_pos)) {
        case Open:
            ++m_pos;
            token.type = TokenType::GroupOpen;
            return token;
        case Close:
            ++m_pos;
            token.type = TokenType::GroupClose;
            return token;
        case Backslash:
            token = controlSequence(start);
            if (token.type == TokenType::End && m_pos < m_end)
                continue; // a malformed \' with no digits: nothing to report
            return token;
        default:
            if (m_leadBytes) {
                const auto &lead = *m_leadBytes;
                while (m_pos < m_end && classOf(*m_pos) == Plain) {
                    if (lead[static_cast<unsigned char>(*m_pos)] && m_pos + 1 < m_end
                        && static_cast<unsigned char>(m_pos[1]) >= 0x40)
                        ++m_pos;
                    ++m_pos;
                }
            } else {
                ++m_pos;
                while (m_pos < m_end && classOf(*m_pos) == Plain)
                    ++m_pos;
            }
            token.type = TokenType::Text;
            token.bytes = std::string_view(start, std::size_t(m_pos - start));
            return token;
        }
    }
}

Token Tokenizer::controlSequence(const char *start)
{
    Token token;
    token.offset = start - m_begin;
    ++m_pos; // the backslash
    if (m_pos >= m_end)
        return token;

    const char c = *m_pos;
    if (isLetter(c)) {
        const char *nameStart = m_pos;
        while (m_pos < m_end && isLetter(*m_pos))
            ++m_pos;
        token.type = TokenType::ControlWord;
        token.name = std::string_view(nameStart, std::size_t(m_pos - nameStart));
        bool negative = false;
        if (m_pos + 1 < m_end && *m_pos == '-' && isDigit(m_pos[1])) {
            negative = true;
            ++m_pos;
        }
        if (m_pos < m_end && isDigit(*m_pos)) {
            // Saturate rather than overflow: producers never need more than 32 bits, and
            // hostile input may carry thousands of digits.
            constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
            std::int64_t value = 0;
            while (m_pos < m_end && isDigit(*m_pos)) {
                if (value < limit)
                    value = value * 10 + (*m_pos - '0');
                ++m_pos;
            }
            if (negative)
                value = -value;
            if (value > std::numeric_limits<std::int32_t>::max())
                value = std::numeric_limits<std::int32_t>::max();
            if (value < std::numeric_limits<std::int32_t>::min())
                value = std::numeric_limits<std::int32_t>::min();
            token.hasParameter = true;
            token.parameter = std::int32_t(value);
        }
        if (m_pos < m_end && *m_pos == ' ')
            ++m_pos;
        if (token.name == "bin" && token.hasParameter) {
            const qint64 wanted = token.parameter > 0 ? token.parameter : 0;
            const qint64 length = std::min<qint64>(wanted, m_end - m_pos);
            token.type = TokenType::Binary;
            token.bytes = std::string_view(m_pos, std::size_t(length));
            m_pos += length;
        }
        return token;
    }

    ++m_pos;
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_end) {
            const int v = hexValue(*m_pos);
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++m_pos;
        }
        if (digits == 0)
            return token; // End with input left: the caller moves on
        token.type = TokenType::HexByte;
        token.byte = std::uint8_t(value);
        return token;
    }
    if (c == '\r' || c == '\n') {
        // A backslash before a line break is an old way of writing \par.
        token.type = TokenType::ControlWord;
        token.name = "par";
        return token;
    }
    token.type = TokenType::ControlSymbol;
    token.symbol = c;
    return token;
}

} // namespace rtf
