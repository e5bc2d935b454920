#include "editor/textdecoding.h"

#include "editor/hugepages.h"
#include "editor/windows1252.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace PlainText {
namespace {

// Collects characters, turning line ends into LF and remembering which they were, cutting
// long lines into pieces, and putting stand-ins where the editing area could not keep a
// character or byte as it was.
class Builder
{
public:
    explicit Builder(qsizetype sizeHint)
    {
        m_text.reserve(sizeHint + sizeHint / (LinePieceLength / 2) + 1);
        preferHugePages(m_text.data(), m_text.capacity() * qsizetype(sizeof(QChar)));
    }

    void character(char32_t c, QByteArrayView source)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == U'\n') {
                endLine(LineEnd::CrLf);
                return;
            }
            endLine(LineEnd::Cr);
        }
        switch (c) {
        case U'\r': m_pendingCr = true; return;
        case U'\n': endLine(LineEnd::Lf); return;
        case 0x2028: standIn(QChar::LineSeparator, source); return;
        case 0x2029:
        case 0xFDD0:
        case 0xFDD1:
        case 0xFFFC: standIn(QChar::ReplacementCharacter, source); return;
        default: break;
        }
        if (c > 0xFFFF) {
            m_text.append(QChar(QChar::highSurrogate(c)));
            m_text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            m_text.append(QChar(char16_t(c)));
        }
        cutLongLine();
    }

    // ASCII other than line ends, which stands for itself in UTF-8 and Windows-1252 alike.
    void plain(QByteArrayView run)
    {
        if (run.isEmpty())
            return;
        if (m_pendingCr) {
            m_pendingCr = false;
            endLine(LineEnd::Cr);
        }
        // In slices, so that cutting a piece moves little of what follows it.
        while (!run.isEmpty()) {
            const qsizetype slice = std::min(run.size(), LinePieceLength);
            m_text.append(QLatin1StringView(run.first(slice)));
            run = run.sliced(slice);
            cutLongLine();
        }
    }

    void invalid(QByteArrayView source)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            endLine(LineEnd::Cr);
        }
        standIn(QChar::ReplacementCharacter, source);
    }

    Decoded finish(Encoding encoding, bool byteOrderMark)
    {
        if (m_pendingCr)
            endLine(LineEnd::Cr);
        Decoded decoded;
        decoded.form = {encoding, byteOrderMark, mostCommonLineEnd()};
        for (int paragraph = 0; paragraph < m_ends.size(); ++paragraph) {
            const char end = m_ends.at(paragraph);
            if (end == PieceEnd)
                decoded.pieceEnds.append(paragraph);
            else if (LineEnd(end) != decoded.form.lineEnd)
                decoded.otherLineEnds.append({paragraph, LineEnd(end)});
        }
        decoded.text = std::move(m_text);
        decoded.standIns = std::move(m_standIns);
        return decoded;
    }

private:
    // Among the ends of paragraphs, one that ends a piece of a line, not the line.
    static constexpr char PieceEnd = 3;

    void endLine(LineEnd end)
    {
        m_text.append(QLatin1Char('\n'));
        m_ends.append(char(end));
        ++m_counts[std::size_t(end)];
        m_lineStart = m_text.size();
    }

    void standIn(QChar shown, QByteArrayView source)
    {
        m_standIns.append({m_text.size(), source.toByteArray()});
        m_text.append(shown);
        cutLongLine();
    }

    void cutLongLine()
    {
        while (m_text.size() - m_lineStart > LinePieceLength) {
            qsizetype cut = m_lineStart + LinePieceLength;
            const qsizetype space = QStringView(m_text).sliced(cut - LinePieceLength / 16, LinePieceLength / 16)
                                        .lastIndexOf(u' ');
            if (space >= 0)
                cut += space + 1 - LinePieceLength / 16;
            else if (m_text.at(cut - 1).isHighSurrogate())
                --cut;
            m_text.insert(cut, QLatin1Char('\n'));
            for (auto it = m_standIns.rbegin(); it != m_standIns.rend() && it->position >= cut; ++it)
                ++it->position;
            m_ends.append(PieceEnd);
            m_lineStart = cut + 1;
        }
    }

    // A file without line ends takes LF, as a new one does.
    LineEnd mostCommonLineEnd() const
    {
        LineEnd best = LineEnd::Lf;
        for (LineEnd end : {LineEnd::CrLf, LineEnd::Cr}) {
            if (m_counts[std::size_t(end)] > m_counts[std::size_t(best)])
                best = end;
        }
        return best;
    }

    QString m_text;
    QList<Decoded::StandIn> m_standIns;
    QByteArray m_ends; // for each paragraph but the last, its LineEnd or PieceEnd
    std::array<qsizetype, 3> m_counts{};
    qsizetype m_lineStart = 0; // where the piece of a line being read starts in m_text
    bool m_pendingCr = false;
};

// The length of the well-formed UTF-8 sequence that bytes start with, or 0; surrogates,
// overlong forms and code points past U+10FFFF are not well formed.
int utf8Sequence(QByteArrayView bytes, char32_t &c)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (at(i) & 0x3F);
    }
    c = value;
    return length;
}

// How many bytes from `from` on are ASCII other than a line end: such bytes are characters
// of their own, read in one go rather than one by one (most text is mostly such bytes).
qsizetype plainRun(QByteArrayView bytes, qsizetype from)
{
    const char *const start = bytes.data() + from;
    const char *const end = bytes.data() + bytes.size();
    const char *p = start;
    // Eight bytes at a time while none has its top bit set and none is a CR or LF (a byte
    // that is zero after the XOR: subtracting one from it borrows into its top bit).
    constexpr quint64 ones = 0x0101010101010101, tops = 0x8080808080808080;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        const quint64 lf = word ^ (ones * '\n'), cr = word ^ (ones * '\r');
        if ((word | ((lf - ones) & ~lf) | ((cr - ones) & ~cr)) & tops)
            break;
    }
    for (; p < end; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b >= 0x80 || b == '\r' || b == '\n')
            break;
    }
    return p - start;
}

// Windows-1252 text seldom holds a valid multi-byte sequence (an accented capital before a
// symbol, say) and then holds many more invalid ones; a damaged UTF-8 file is the other way
// round. At most one invalid byte for two valid sequences makes UTF-8.
bool mostlyUtf8(QByteArrayView bytes)
{
    qsizetype multiByte = 0, invalid = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype run = plainRun(bytes, i)) {
            i += run;
            continue;
        }
        char32_t c;
        const int length = utf8Sequence(bytes.sliced(i), c);
        if (length == 0) {
            ++invalid;
            ++i;
        } else {
            multiByte += length > 1;
            i += length;
        }
    }
    return invalid == 0 || invalid * 2 <= multiByte;
}

// Without a byte-order mark to say so, the bytes are looked over to tell whether they are
// UTF-8 only when the reading meets one that is not: most files are all UTF-8 (or ASCII),
// and are read once. Nothing when they turn out not to be.
std::optional<Decoded> decodeUtf8(QByteArrayView bytes, bool byteOrderMark)
{
    Builder builder(bytes.size());
    bool told = byteOrderMark;
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype run = plainRun(bytes, i)) {
            builder.plain(bytes.sliced(i, run));
            i += run;
            continue;
        }
        char32_t c;
        if (const int length = utf8Sequence(bytes.sliced(i), c)) {
            builder.character(c, bytes.sliced(i, length));
            i += length;
        } else {
            if (!told && !mostlyUtf8(bytes))
                return std::nullopt;
            told = true;
            builder.invalid(bytes.sliced(i, 1));
            ++i;
        }
    }
    return builder.finish(Encoding::Utf8, byteOrderMark);
}

Decoded decodeUtf16(QByteArrayView bytes, Encoding encoding)
{
    const bool littleEndian = encoding == Encoding::Utf16LE;
    const auto unitAt = [&](qsizetype i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second);
    };
    Builder builder(bytes.size() / 2);
    qsizetype i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = unitAt(i);
        if (QChar::isHighSurrogate(unit) && i + 3 < bytes.size() && QChar::isLowSurrogate(unitAt(i + 2))) {
            builder.character(QChar::surrogateToUcs4(unit, unitAt(i + 2)), bytes.sliced(i, 4));
            i += 2;
        } else if (QChar::isSurrogate(unit)) {
            builder.invalid(bytes.sliced(i, 2));
        } else {
            builder.character(unit, bytes.sliced(i, 2));
        }
    }
    if (i < bytes.size()) // half a code unit at the end
        builder.invalid(bytes.sliced(i));
    return builder.finish(encoding, true);
}

Decoded decodeWindows1252(QByteArrayView bytes)
{
    Builder builder(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (const qsizetype run = plainRun(bytes, i)) {
            builder.plain(bytes.sliced(i, run));
            i += run - 1;
            continue;
        }
        builder.character(Windows1252::toUnicode(static_cast<unsigned char>(bytes[i])), bytes.sliced(i, 1));
    }
    return builder.finish(Encoding::Windows1252, false);
}

} // namespace

Decoded decode(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return *decodeUtf8(bytes.sliced(3), true);
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(bytes.sliced(2), Encoding::Utf16LE);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(bytes.sliced(2), Encoding::Utf16BE);
    if (std::optional<Decoded> utf8 = decodeUtf8(bytes, false))
        return std::move(*utf8);
    return decodeWindows1252(bytes);
}

} // namespace PlainText
