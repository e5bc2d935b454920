#pragma once

#include "rtf/codepage.h"
#include "rtf/keywords.h"
#include "rtf/sink.h"

#include <QByteArrayView>
#include <QList>
#include <string>
#include <unordered_map>
#include <vector>

namespace rtf {

class Reader
{
public:
    // Groups nested deeper than this share the state of the deepest one kept; real
    // documents stay far below it, and it bounds memory for hostile ones.
    static constexpr int MaxDepth = 1000;

    explicit Reader(Sink &sink);

    // Reads the whole input; the caller has checked that it starts as RTF.
    void read(QByteArrayView input);

private:
    enum class Destination : std::uint8_t {
        Body, FontTable, ColorTable, ListTable, List, ListLevel,
        ListOverrideTable, ListOverride, Pn, Upr, UprAlternative,
    };

    struct CharState {
        int font = -1;           // -1: \deff
        int halfPoints = 0;
        int foreground = 0;
        int background = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        bool hidden = false;
        VerticalPosition position = VerticalPosition::Normal;
    };

    struct ParaState {
        ParagraphStyle style;
        ListKind pnKind = ListKind::None;
        int pnLevel = 0;
        int listOverride = 0;
        int listLevel = 0;
    };

    struct Group {
        CharState chars;
        ParaState para;
        Destination destination = Destination::Body;
        std::uint8_t unicodeSkip = 1;
        int pnOwner = 0;         // the group whose paragraph a {\*\pn} group describes
    };

    struct Font {
        QString name;
        int codePage = 0;        // 0: the document's code page
    };

    struct PendingFont {
        bool active = false;
        int number = 0;
        int charset = -1;
        int codePage = 0;
        QString name;
    };

    void groupOpen();
    void groupClose();
    void controlWord(std::string_view name, bool hasParameter, int parameter, bool starred);
    void bodyWord(Keyword keyword, bool hasParameter, int parameter);
    void pnWord(Keyword keyword, int parameter);
    void skipGroup();
    void controlSymbol(char symbol);
    void textBytes(std::string_view bytes);
    void hexByte(std::uint8_t byte);
    void unicodeChar(int value);
    void appendChar(char32_t c);

    void flushBytes();
    void flushText();
    void flushAll() { flushBytes(); flushText(); }
    void endParagraph();
    void commitFont();
    void commitColor();
    void beginCellText();
    CodePage &bodyCodePage();
    int fontCodePage(int charset, int codePage) const;
    TextStyle currentTextStyle() const;
    ParagraphStyle paragraphStyleOf(const Group &group) const;

    Group &top() { return m_stack.back(); }
    const Group &top() const { return m_stack.back(); }

    Sink &m_sink;
    std::vector<Group> m_stack;
    qint64 m_overflowDepth = 0;  // groups opened beyond MaxDepth and not yet closed
    qint64 m_skipDepth = 0;      // groups nested inside a skipped destination
    bool m_atGroupStart = false;
    bool m_starred = false;
    bool m_finished = false;
    int m_fallbackToSkip = 0;    // \uc characters still to drop after a \u
    char16_t m_highSurrogate = 0;

    int m_documentCodePage = 1252;
    bool m_codePageGiven = false;
    int m_defaultFont = 0;
    std::unordered_map<int, Font> m_fonts;
    PendingFont m_pendingFont;
    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    // Word lists: \listid -> format per level, \ls -> \listid.
    std::unordered_map<int, std::vector<ListKind>> m_lists;
    std::unordered_map<int, int> m_overrides;
    std::vector<ListKind> m_pendingLevels;
    int m_pendingListId = 0;
    int m_pendingOverrideList = 0;
    int m_pendingOverrideIndex = 0;

    CodePages m_codePages;
    int m_cachedFont = -2;
    CodePage *m_cachedCodePage = nullptr;

    std::string m_bytes;         // undecoded bytes; multi-byte characters may span tokens
    QString m_text;              // decoded text, all in the current style
    bool m_paragraphEmpty = true;
    bool m_pardSinceParagraph = false;
    ParagraphStyle m_finalParagraph;
    int m_pendingCells = 0;      // cell ends not yet turned into tabs
};

} // namespace rtf
