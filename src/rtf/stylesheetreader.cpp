#include "rtf/stylesheetreader.h"

#include <algorithm>

namespace rtf {

namespace {

// Tables in hostile files can claim any number of entries; real ones stay in the hundreds.
constexpr std::size_t MaxStyles = 65536;
// Bounds for what one style may hold, and how far its chain of bases is followed.
constexpr std::size_t MaxStyleWords = 128;
constexpr int MaxStyleChain = 8;

} // namespace

void StyleSheetReader::startEntry()
{
    m_pending = Style();
    m_pendingKey = 0;
}

void StyleSheetReader::word(const KeywordInfo &info, bool hasParameter, int parameter)
{
    switch (info.keyword) {
    case Keyword::ParagraphStyleRef:
        m_pendingKey = std::max(parameter, 0);
        return;
    case Keyword::CharacterStyleRef:
        m_pendingKey = -1 - std::max(parameter, 0);
        return;
    case Keyword::StyleBasedOn:
        m_pending.basedOn = std::max(parameter, 0);
        return;
    default:
        if (info.styleFormat && m_pending.words.size() < MaxStyleWords)
            m_pending.words.push_back({&info, hasParameter, parameter});
        return;
    }
}

void StyleSheetReader::endEntry()
{
    if (m_styles.size() < MaxStyles || m_styles.count(m_pendingKey)) {
        if (m_pending.basedOn >= 0 && m_pendingKey < 0)
            m_pending.basedOn = -1 - m_pending.basedOn;
        m_styles[m_pendingKey] = std::move(m_pending);
        m_pending = Style();
    }
}

const StyleSheetReader::Style *StyleSheetReader::resolve(int key)
{
    const auto found = m_styles.find(key);
    if (found == m_styles.end())
        return nullptr;
    Style &style = found->second;
    if (style.resolved)
        return &style;
    // Collect the chain of styles it is based on; a cycle just stops at the bound.
    std::vector<const Style *> chain{&style};
    for (int next = style.basedOn; next != key && int(chain.size()) < MaxStyleChain;) {
        const auto base = m_styles.find(next);
        if (base == m_styles.end())
            break;
        chain.push_back(&base->second);
        if (base->second.resolved)
            break;
        next = base->second.basedOn;
    }
    std::vector<Word> words;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const Word &word : (*it)->words) {
            if (words.size() < MaxStyleWords)
                words.push_back(word);
        }
    }
    style.words = std::move(words);
    style.resolved = true;
    return &style;
}

} // namespace rtf
