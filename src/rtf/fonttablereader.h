#pragma once

#include "rtf/codepage.h"
#include "rtf/keywords.h"

#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace rtf {

// The fonts a document names in its \fonttbl groups: each number's name and code page,
// and the default font \deff names. A font's name is in bytes of that font's own code
// page, which is known only once its \fcharset or \cpg is read: its bytes wait here.
class FontTableReader
{
public:
    struct Font {
        QString name;
        int codePage = 0; // 0: the document's code page
    };

    // A \fonttbl group opens.
    void start();
    // A word in it; false for a word that is no font table's own.
    bool word(Keyword keyword, int parameter, int documentCodePage);
    void text(std::string_view bytes, int documentCodePage);
    void byte(char byte);
    // Where a character of the name being read goes, or null outside a font's entry.
    QString *name(int documentCodePage);
    // Decodes the bytes waiting, as the table's characters or groups change.
    bool waiting() const { return !m_bytes.empty(); }
    void flush(int documentCodePage);
    // A group of the table closes: the font it ends is complete.
    void end(int documentCodePage);

    // The names as the last table read gives them, by number, in order.
    std::vector<std::pair<int, QString>> tableNames() const;

    const Font *find(int number) const;
    // The code page of text in a font: the font's own, or else the document's.
    CodePage &codePageFor(int font, int documentCodePage)
    {
        if (m_cachedCodePage && font == m_cachedFont && documentCodePage == m_cachedDocumentCodePage)
            return *m_cachedCodePage;
        return lookUpCodePage(font, documentCodePage);
    }
    // The number of a font with that name, or `otherwise`.
    int numberNamed(const QString &name, int otherwise) const;

    void setDefault(int number);
    int defaultFont() const { return m_default; }
    bool defaultGiven() const { return m_defaultGiven; }
    // What text that names no font is in: -1 where the file names no default.
    int shownDefault() const { return m_defaultGiven ? m_default : -1; }

    // Fonts read from a table not kept: the numbers in the text no longer mean the kept table's.
    void markRenumbered() { m_renumbered = true; }
    bool renumbered() const { return m_renumbered; }

private:
    struct Pending {
        bool active = false;
        int number = 0;
        int charset = -1;
        int codePage = 0;
        QString name;
    };

    void commit(int documentCodePage);
    int codePageOf(const Pending &font, int documentCodePage) const;
    CodePage &lookUpCodePage(int font, int documentCodePage);

    CodePages m_codePages;
    // Text looks its code page up for each run, mostly in the font of the run before.
    CodePage *m_cachedCodePage = nullptr;
    int m_cachedFont = 0;
    int m_cachedDocumentCodePage = 0;
    std::unordered_map<int, Font> m_fonts;
    std::unordered_map<int, QString> m_tableFonts; // what the table being read names
    Pending m_pending;
    std::string m_bytes;         // the pending font's name, not yet decoded
    int m_default = 0;
    bool m_defaultGiven = false; // without \deff, text that names no font has none
    bool m_renumbered = false;
};

} // namespace rtf
