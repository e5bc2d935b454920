#include "rtf/listtablereader.h"

#include <algorithm>

namespace rtf {

namespace {

// Tables in hostile files can claim any number of entries; real ones stay in the hundreds.
constexpr std::size_t MaxEntries = 65536;

ListKind listKindForNumberFormat(int nfc)
{
    switch (nfc) {
    case 23: return ListKind::Bullet;
    case 255: return ListKind::None;
    case 1: return ListKind::UpperRoman;
    case 2: return ListKind::LowerRoman;
    case 3: return ListKind::UpperAlpha;
    case 4: return ListKind::LowerAlpha;
    default: return ListKind::Decimal;
    }
}

} // namespace

void ListTableReader::startList()
{
    m_pendingLevels.clear();
    m_pendingListId = 0;
}

void ListTableReader::startLevel()
{
    if (m_pendingLevels.size() < std::size_t(MaxLevels))
        m_pendingLevels.push_back(ListKind::Decimal);
}

void ListTableReader::listWord(Keyword keyword, int parameter)
{
    if (keyword == Keyword::ListId)
        m_pendingListId = parameter;
}

void ListTableReader::levelWord(Keyword keyword, int parameter)
{
    if (keyword == Keyword::LevelFormat && !m_pendingLevels.empty())
        m_pendingLevels.back() = listKindForNumberFormat(parameter);
}

void ListTableReader::endList()
{
    if (m_lists.size() < MaxEntries)
        m_lists[m_pendingListId] = m_pendingLevels;
}

void ListTableReader::startOverride()
{
    m_pendingOverrideIndex = 0;
    m_pendingOverrideList = 0;
}

void ListTableReader::overrideWord(Keyword keyword, int parameter)
{
    if (keyword == Keyword::ListId)
        m_pendingOverrideList = parameter;
    else if (keyword == Keyword::ListOverrideIndex)
        m_pendingOverrideIndex = parameter;
}

void ListTableReader::endOverride()
{
    if (m_overrides.size() < MaxEntries)
        m_overrides[m_pendingOverrideIndex] = m_pendingOverrideList;
}

bool ListTableReader::namesList(int override) const
{
    return override > 0 || (override == 0 && m_overrides.count(0));
}

ListKind ListTableReader::kindOf(int override, int level) const
{
    const auto found = m_overrides.find(override);
    if (found == m_overrides.end())
        return ListKind::Bullet;
    const auto list = m_lists.find(found->second);
    if (list == m_lists.end() || list->second.empty())
        return ListKind::Bullet;
    const auto &levels = list->second;
    return levels[std::min<std::size_t>(std::size_t(level), levels.size() - 1)];
}

} // namespace rtf
