#pragma once

#include "rtf/keywords.h"
#include "rtf/sink.h"

#include <unordered_map>
#include <vector>

namespace rtf {

// Word's lists from \listtable and \listoverridetable: \listid gives each list's numbering
// per level, and \ls in the text names a list through its override.
class ListTableReader
{
public:
    static constexpr int MaxLevels = 9;

    // A \list group opens in the list table, and a \listlevel in it.
    void startList();
    void startLevel();
    void listWord(Keyword keyword, int parameter);
    void levelWord(Keyword keyword, int parameter);
    // The \list group closes in the list table.
    void endList();

    // A \listoverride group opens in the override table, and closes there.
    void startOverride();
    void overrideWord(Keyword keyword, int parameter);
    void endOverride();

    // Whether \ls with this number names a list: \ls0 does only where the override table has one.
    bool namesList(int override) const;
    // The numbering of a level of the list an override names; a bullet for one we cannot resolve.
    ListKind kindOf(int override, int level) const;

private:
    std::unordered_map<int, std::vector<ListKind>> m_lists; // \listid -> format per level
    std::unordered_map<int, int> m_overrides;               // \ls -> \listid
    std::vector<ListKind> m_pendingLevels;
    int m_pendingListId = 0;
    int m_pendingOverrideList = 0;
    int m_pendingOverrideIndex = 0;
};

} // namespace rtf
