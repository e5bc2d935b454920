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
// One comparison each: the tokenizer looks at every byte of a control word.
inline bool isLetter(char c) { return unsigned((c | 0x20) - 'a') < 26u; }
inline bool isDigit(char c) { return unsigned(c - '0') < 10u; }

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

// The scanning loops work on a local pointer: the bytes read could alias the member, which
// the compiler would otherwise store and reload at every byte.
Token Tokenizer::next()
{
    const char *pos = m_pos;
    for (;;) {
        while (pos < m_end && classOf(*pos) == Ignored)
            ++pos;
        Token token;
        token.offset = pos - m_begin;
        if (pos >= m_end) {
            m_pos = pos;
            return token;
        }
        const char *start = pos;
        switch (classOf(*pos)) {
        case Open:
            m_pos = pos + 1;
            token.type = TokenType::GroupOpen;
            return token;
        case Close:
            m_pos = pos + 1;
            token.type = TokenType::GroupClose;
            return token;
        case Backslash:
            pos = controlSequence(pos, token);
            if (token.type == TokenType::End && pos < m_end)
                continue; // a malformed \' with no digits: nothing to report
            m_pos = pos;
            return token;
        default:
            if (m_leadBytes) {
                const auto &lead = *m_leadBytes;
                while (pos < m_end && classOf(*pos) == Plain) {
                    if (lead[static_cast<unsigned char>(*pos)] && pos + 1 < m_end
                        && static_cast<unsigned char>(pos[1]) >= 0x40)
                        ++pos;
                    ++pos;
                }
            } else {
                ++pos;
                while (pos < m_end && classOf(*pos) == Plain)
                    ++pos;
            }
            token.type = TokenType::Text;
            token.bytes = std::string_view(start, std::size_t(pos - start));
            m_pos = pos;
            return token;
        }
    }
}

const char *Tokenizer::controlSequence(const char *pos, Token &token) const
{
    ++pos; // the backslash
    if (pos >= m_end)
        return pos;

    const char c = *pos;
    if (isLetter(c)) {
        const char *nameStart = pos;
        while (pos < m_end && isLetter(*pos))
            ++pos;
        token.type = TokenType::ControlWord;
        token.name = std::string_view(nameStart, std::size_t(pos - nameStart));
        bool negative = false;
        if (pos + 1 < m_end && *pos == '-' && isDigit(pos[1])) {
            negative = true;
            ++pos;
        }
        if (pos < m_end && isDigit(*pos)) {
            // Saturate rather than overflow: producers never need more than 32 bits, and
            // hostile input may carry thousands of digits.
            constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
            std::int64_t value = 0;
            while (pos < m_end && isDigit(*pos)) {
                if (value < limit)
                    value = value * 10 + (*pos - '0');
                ++pos;
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
        if (pos < m_end && *pos == ' ')
            ++pos;
        if (token.name == "bin" && token.hasParameter) {
            const qint64 wanted = token.parameter > 0 ? token.parameter : 0;
            const qint64 length = std::min<qint64>(wanted, m_end - pos);
            token.type = TokenType::Binary;
            token.bytes = std::string_view(pos, std::size_t(length));
            pos += length;
        }
        return pos;
    }

    ++pos;
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos < m_end) {
            const int v = hexValue(*pos);
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++pos;
        }
        if (digits == 0)
            return pos; // End with input left: the caller moves on
        token.type = TokenType::HexByte;
        token.byte = std::uint8_t(value);
        return pos;
    }
    if (c == '\r' || c == '\n') {
        // A backslash before a line break is an old way of writing \par.
        token.type = TokenType::ControlWord;
        token.name = "par";
        return pos;
    }
    token.type = TokenType::ControlSymbol;
    token.symbol = c;
    return pos;
}

} // namespace rtf
