#include "rtf/codepage.h"

namespace rtf {

namespace {

// Windows-1252 0x80..0x9F; the rest of the page is Latin-1. Kept here so that the
// commonest page works even where the converter does not know it.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

bool isMultiBytePage(int cp)
{
    switch (cp) {
    case 932: case 936: case 949: case 950: case 1361: case 65001: case 54936:
    case 20932: case 51932: case 51949: case 10001: case 10002: case 10003: case 10008:
        return true;
    default:
        return false;
    }
}

QByteArray converterName(int cp)
{
    switch (cp) {
    case 65001: return "UTF-8";
    case 20127: return "US-ASCII";
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 54936: return "GB18030";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "johab";
    case 20932: case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 10000: return "macintosh";
    // The Mac's CJK pages are the Windows ones with a few extra symbols: the converters
    // here do not know the Mac names, and the shared repertoire is what files use.
    case 10001: return "Shift_JIS";
    case 10002: return "Big5";
    case 10003: return "EUC-KR";
    case 10008: return "GBK";
    case 10004: return "x-mac-arabic";
    case 10005: return "x-mac-hebrew";
    case 10006: return "x-mac-greek";
    case 10007: return "x-mac-cyrillic";
    case 10029: return "x-mac-centraleurroman";
    case 10079: return "x-mac-icelandic";
    case 10081: return "x-mac-turkish";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    default: break;
    }
    if (cp == 874 || (cp >= 1250 && cp <= 1258))
        return "windows-" + QByteArray::number(cp);
    if (cp >= 28591 && cp <= 28606)
        return "ISO-8859-" + QByteArray::number(cp - 28590);
    switch (cp) {
    // DOS pages only: the other IBM numbers are EBCDIC, which is not what RTF carries.
    case 437: case 737: case 775: case 850: case 852: case 855: case 857: case 858: case 860: case 861:
    case 862: case 863: case 864: case 865: case 866: case 869:
        return "IBM" + QByteArray::number(cp);
    default:
        return {};
    }
    return {};
}

} // namespace

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252;     // symbol fonts: bytes are glyph numbers, shown as Latin-1 would be
    case 77: return 10000;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 10002;
    case 83: return 10005;
    case 84: return 10004;
    case 85: return 10006;
    case 86: return 10081;
    case 87: return 10021;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

CodePage::CodePage(int codePage)
    : m_number(codePage)
{
    const QByteArray name = converterName(codePage);
    std::unique_ptr<QStringDecoder> decoder;
    if (!name.isEmpty()) {
        decoder = std::make_unique<QStringDecoder>(name.constData(), QStringDecoder::Flag::Stateless);
        if (!decoder->isValid())
            decoder.reset();
    }
    if (decoder && isMultiBytePage(codePage)) {
        m_multiByte = true;
        m_decoder = std::move(decoder);
        // Some converters take Shift_JIS's control bytes as IBM's pages have them, where a
        // DEL read as SUB is dropped; Windows, which writes these files, reads them as ASCII.
        m_swapsControls = QString(m_decoder->decode(QByteArrayView("\x7f", 1))) == QStringView(u"\x1a");
        m_decoder->resetState();
        auto lead = [this](int from, int to) {
            for (int b = from; b <= to; ++b)
                m_leadBytes[b] = true;
            m_hasLeadBytes = true;
        };
        switch (codePage) {
        case 932: lead(0x81, 0x9F); lead(0xE0, 0xFC); break;
        case 936: case 949: case 950: lead(0x81, 0xFE); break;
        case 1361: lead(0x84, 0xD3); lead(0xD8, 0xDE); lead(0xE0, 0xF9); break;
        default: break;
        }
        return;
    }
    for (int b = 0; b < 0x80; ++b)
        m_table[b] = char16_t(b);
    for (int b = 0x80; b < 0x100; ++b)
        m_table[b] = b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b);
    if (decoder && codePage != 1252) {
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = char(b);
            decoder->resetState();
            const QString s = decoder->decode(QByteArrayView(&byte, 1));
            m_table[b] = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
        }
    }
    for (char16_t &c : m_table) {
        if (isDroppedCharacter(c))
            c = 0;
    }
}

void CodePage::decode(std::string_view bytes, QString &out)
{
    if (m_multiByte) {
        // Such a converter gives a DEL byte as the SUB it puts for bytes it cannot read, and a
        // FS byte as DEL: a DEL, never part of a character, goes in on its own, and a DEL the
        // converter gives is the FS, dropped as controls are.
        while (true) {
            const std::size_t del = m_swapsControls ? bytes.find('\x7f') : std::string_view::npos;
            const std::string_view piece = bytes.substr(0, del);
            m_decoder->resetState();
            const QString s = m_decoder->decode(QByteArrayView(piece.data(), qsizetype(piece.size())));
            out.reserve(out.size() + s.size());
            for (QChar c : s) {
                if (!isDroppedCharacter(c.unicode()) && !(m_swapsControls && c.unicode() == 0x7F))
                    out.append(c);
            }
            if (del == std::string_view::npos)
                return;
            out.append(QChar(0x7F));
            bytes.remove_prefix(del + 1);
        }
    }
    const qsizetype start = out.size();
    out.resize(start + qsizetype(bytes.size()));
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
    char16_t *const first = dst;
    for (char b : bytes) {
        const char16_t c = m_table[static_cast<unsigned char>(b)];
        *dst = c;
        dst += c != 0;
    }
    out.resize(start + (dst - first));
}

CodePage &CodePages::get(int codePage)
{
    auto &slot = m_pages[codePage];
    if (!slot)
        slot = std::make_unique<CodePage>(codePage);
    return *slot;
}

} // namespace rtf
