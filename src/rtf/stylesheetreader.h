#pragma once

#include "rtf/keywords.h"

#include <unordered_map>
#include <vector>

namespace rtf {

// The stylesheet: each style's formatting words, replayed where \s or \cs names it.
// Paragraph styles are keyed by their \s number, character styles by -1 - their \cs number.
class StyleSheetReader
{
public:
    struct Word {
        const KeywordInfo *info;
        bool hasParameter;
        int parameter;
    };
    struct Style {
        std::vector<Word> words;
        int basedOn = -1;
        bool resolved = false; // words already include those of the styles it is based on
    };

    // An entry's group opens in the stylesheet, and closes there.
    void startEntry();
    void word(const KeywordInfo &info, bool hasParameter, int parameter);
    void endEntry();

    // The style with its words and those of the styles it is based on; null if none.
    const Style *resolve(int key);

private:
    std::unordered_map<int, Style> m_styles;
    Style m_pending;
    int m_pendingKey = 0;
};

} // namespace rtf
