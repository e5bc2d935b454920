#include "rtf/fonttablereader.h"

#include <algorithm>

namespace rtf {

namespace {

// Tables in hostile files can claim any number of entries; real ones stay in the hundreds.
constexpr std::size_t MaxFonts = 65536;

} // namespace

void FontTableReader::start()
{
    m_pending = Pending();
    m_tableFonts.clear();
}

bool FontTableReader::word(Keyword keyword, int parameter, int documentCodePage)
{
    switch (keyword) {
    case Keyword::Font:
        if (m_pending.active && (!m_pending.name.isEmpty() || !m_bytes.empty()))
            commit(documentCodePage);
        m_bytes.clear();
        m_pending = Pending();
        m_pending.active = true;
        m_pending.number = parameter;
        return true;
    case Keyword::FontCharset:
        flush(documentCodePage);
        m_pending.charset = parameter;
        return true;
    case Keyword::FontCodePage:
        flush(documentCodePage);
        m_pending.codePage = parameter;
        return true;
    default:
        return false;
    }
}

void FontTableReader::text(std::string_view bytes, int documentCodePage)
{
    while (!bytes.empty()) {
        const auto semicolon = bytes.find(';');
        if (m_pending.active)
            m_bytes.append(bytes.substr(0, semicolon));
        if (semicolon == std::string_view::npos)
            break;
        if (m_pending.active)
            commit(documentCodePage);
        bytes.remove_prefix(semicolon + 1);
    }
}

void FontTableReader::byte(char byte)
{
    if (m_pending.active)
        m_bytes.push_back(byte);
}

QString *FontTableReader::name(int documentCodePage)
{
    if (!m_pending.active)
        return nullptr;
    flush(documentCodePage);
    return &m_pending.name;
}

void FontTableReader::flush(int documentCodePage)
{
    if (m_bytes.empty())
        return;
    if (m_pending.active)
        m_codePages.get(codePageOf(m_pending, documentCodePage)).decode(m_bytes, m_pending.name);
    m_bytes.clear();
}

void FontTableReader::end(int documentCodePage)
{
    if (m_pending.active && (!m_pending.name.isEmpty() || !m_bytes.empty()))
        commit(documentCodePage);
}

int FontTableReader::codePageOf(const Pending &font, int documentCodePage) const
{
    int cp = font.charset >= 0 ? codePageForCharset(font.charset) : 0;
    if (cp == 0)
        cp = font.codePage;
    return cp > 0 ? cp : documentCodePage;
}

void FontTableReader::commit(int documentCodePage)
{
    flush(documentCodePage);
    if (m_fonts.size() < MaxFonts || m_fonts.count(m_pending.number)) {
        Font font;
        font.name = m_pending.name.trimmed();
        font.codePage = m_pending.charset >= 0 ? codePageForCharset(m_pending.charset) : 0;
        if (font.codePage == 0)
            font.codePage = std::max(m_pending.codePage, 0);
        m_tableFonts[m_pending.number] = font.name;
        m_fonts[m_pending.number] = std::move(font);
    }
    m_pending = Pending();
    m_cachedCodePage = nullptr;
}

std::vector<std::pair<int, QString>> FontTableReader::tableNames() const
{
    std::vector<std::pair<int, QString>> names(m_tableFonts.begin(), m_tableFonts.end());
    std::sort(names.begin(), names.end());
    return names;
}

const FontTableReader::Font *FontTableReader::find(int number) const
{
    const auto it = m_fonts.find(number);
    return it != m_fonts.end() ? &it->second : nullptr;
}

CodePage &FontTableReader::lookUpCodePage(int font, int documentCodePage)
{
    const Font *entry = find(font);
    m_cachedCodePage = &m_codePages.get(entry && entry->codePage > 0 ? entry->codePage : documentCodePage);
    m_cachedFont = font;
    m_cachedDocumentCodePage = documentCodePage;
    return *m_cachedCodePage;
}

int FontTableReader::numberNamed(const QString &name, int otherwise) const
{
    // The entry spelt as the name is, else one spelt otherwise: with several, the lowest
    // number, whatever order the fonts are held in.
    int exact = 0, caseless = 0;
    bool exactFound = false, caselessFound = false;
    for (const auto &[number, entry] : m_fonts) {
        if (name.isEmpty() || entry.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (entry.name == name) {
            exact = exactFound ? std::min(exact, number) : number;
            exactFound = true;
        } else {
            caseless = caselessFound ? std::min(caseless, number) : number;
            caselessFound = true;
        }
    }
    return exactFound ? exact : caselessFound ? caseless : otherwise;
}

void FontTableReader::setDefault(int number)
{
    m_default = number;
    m_defaultGiven = true;
}

} // namespace rtf
