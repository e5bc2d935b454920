#pragma once

#include "rtf/codepage.h"
#include "rtf/colortablereader.h"
#include "rtf/fieldreader.h"
#include "rtf/fonttablereader.h"
#include "rtf/keywords.h"
#include "rtf/listtablereader.h"
#include "rtf/notenumbering.h"
#include "rtf/picturereader.h"
#include "rtf/rowdefinitionreader.h"
#include "rtf/sink.h"
#include "rtf/stylesheetreader.h"
#include "rtf/tablemetrics.h"

#include <QByteArrayView>
#include <QSet>
#include <string>
#include <unordered_map>
#include <vector>

namespace rtf {

struct Token;

class Reader
{
public:
    // Groups nested deeper than this share the state of the deepest one kept; real
    // documents stay far below it, and it bounds memory for hostile ones.
    static constexpr int MaxDepth = 1000;
    // Tables nested deeper than this keep their text in the deepest table kept.

    explicit Reader(Sink &sink);

    // Reads the whole input; the caller has checked that it starts as RTF.
    void read(QByteArrayView input);

private:
    enum class Destination : std::uint8_t {
        Body, FontTable, ColorTable, ListTable, List, ListLevel,
        ListOverrideTable, ListOverride, Pn, Upr, UprAlternative,
        Picture, FieldInstruction, StyleSheet, StyleEntry,
        ShapeProperty, ShapePropertyName, ShapePropertyValue,
    };

    struct CharState {
        int font = -1;           // -1: \deff
        int halfPoints = 0;      // 0: not given
        int foreground = 0;
        int background = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        std::uint8_t underlineKind = 0; // in underlineKinds
        bool strike = false;
        bool hidden = false;
        VerticalPosition position = VerticalPosition::Normal;
        int language = -1;
        int characterStyle = -1;
        int raise = 0;
        // The words ScriptWords keeps, since \plain: m_scriptWords[wordsFrom, wordsTo). A group's
        // words go on from those of the group it opened in, so all groups share one buffer.
        qsizetype wordsFrom = 0;
        qsizetype wordsTo = 0;
        bool scripted = false;   // some of them format another script
        bool groupOpened = false; // a group began since the last of them: words after it start anew
    };

    struct ParaState {
        ParagraphStyle style;
        ListKind pnKind = ListKind::None;
        int pnLevel = 0;
        bool pnContinued = false; // \pnlvlcont: a paragraph between items, itself none
        int listOverride = -1;   // \ls; -1: none
        int listLevel = 0;
        bool inTable = false;
        int tableDepth = -1;     // \itap; -1: not given
        bool borderOpen = false; // border words now describe the paragraph's borders
    };

    struct Group {
        qint64 openOffset = 0;   // where its brace is in the input
        std::uint64_t emittedAtOpen = 0;
        CharState chars;
        ParaState para;
        Destination destination = Destination::Body;
        std::uint8_t unicodeSkip = 1;
        int pnOwner = 0;         // the group whose paragraph a {\*\pn} group describes
        int link = -1;           // index in m_links of the HYPERLINK field this text is in
        bool nestProperties = false; // inside {\*\nesttableprops}
        bool symbolShown = false; // a SYMBOL field whose character is in; its result is skipped
        bool fieldOwner = false; // the \field group itself
        QByteArray *keptAtOpen = nullptr;       // where groups were kept when it opened, and
        qsizetype keptSizeAtOpen = 0;           // how much: kept whole, it holds those kept since
        qsizetype pendingSizeAtOpen = 0;        // and the hidden text since, which waits apart
        std::uint64_t hiddenAtOpen = 0; // hidden text read before it opened: m_hiddenRead
        int noteIdsAtOpen = 0;   // m_noteIds when it opened: later notes' marks stand in it
        int fieldId = 0;         // text here is a field's result: m_fieldInstructions[fieldId - 1]
        bool wrapOwner = false;  // the object or shape group whose bytes go back whole
        int wrapId = 0;          // text here is shown for that group
    };

    // A control word as read, with its row of the keyword table.
    struct Word {
        const KeywordInfo &info;
        std::string_view name;
        bool hasParameter = false;
        int parameter = 0;

        Keyword keyword() const { return info.keyword; }
        int value() const { return info.valueOf(hasParameter, parameter); }
    };

    void skippedToken(const Token &token);
    void binaryBytes(std::string_view bytes);
    void finish();
    void groupOpen();
    void groupClose();
    void keepShownNothing(QByteArrayView whole);
    void closeOwner(const Group &group, QByteArrayView whole, bool gaveNothing);
    void closeDestination(const Group &closing, QByteArrayView whole, bool gaveNothing);
    void closePicture();
    void keepDocumentTable(QByteArray &into, bool inBody, bool gaveNothing, QByteArrayView whole);
    void controlWord(std::string_view name, bool hasParameter, int parameter, bool starred);
    void dropGroup(const Word &word);
    void symbolWord(const KeywordInfo &info);
    void keptWord(const Word &word);
    void destinationWord(const Word &word);
    void sectionWord(const Word &word);
    void fontTableWord(const Word &word);
    void colorTableWord(const Word &word);
    void listTableWord(const Word &word);
    void shapeWord(const Word &word);
    void keepGroup(const KeywordInfo &info);
    void keptGroupEnd(QByteArrayView group);
    QByteArray &keptInto();
    void forgetKeptSince(const Group &group);
    void keepWord(std::string_view name, bool hasParameter, int parameter, QByteArray &into);
    QByteArrayView scriptWordsOf(const CharState &chars) const
    {
        return QByteArrayView(m_scriptWords.data() + chars.wordsFrom, chars.wordsTo - chars.wordsFrom);
    }
    void stopCapture();
    // Most words come with no hidden text waiting.
    void flushHidden()
    {
        if (!m_hiddenBytes.empty() || !m_hiddenText.isEmpty())
            keepHidden();
    }
    void keepHidden();
    TextStyle emittedStyle();
    bool characterWord(const Word &word);
    bool textWord(const Word &word);
    void bodyWord(const Word &word);
    void keepScriptWord(const Word &word);
    void noteFontNamed(int number);
    void flagWord(const Word &word);
    void toggleWord(const Word &word);
    void valueWord(const Word &word);
    void paragraphValue(const Word &word);
    void rowValue(const Word &word);
    void openDestination(const Word &word);
    void enterDestination(Keyword keyword);
    static Destination readDestination(Keyword keyword);
    void startDestination(Destination destination);
    void setAlignment(ParaState &para, Alignment alignment, const Word &word);
    void keepParagraphWord(const Word &word, QByteArray &into) { keepParagraphWord(word, into, word.parameter); }
    void keepParagraphWord(const Word &word, QByteArray &into, int parameter);
    void shadingColor(const Word &word);
    void startRowDefinition();
    void defineRow();
    void pageBreak();
    void sectionBreak();
    void paragraphStyleRef(int parameter);
    const StyleSheetReader::Style *keptStyle(int number);
    int styleSetsOf(int number);
    void characterStyleRef(int parameter);
    void pnWord(const Word &word);
    static void setPnNumbering(ParaState &para, ListKind kind);
    void applyStyle(int key);
    // Notes a word the paragraph states itself, not one its style gives it.
    void given(ParaState &para, int word) { para.style.givenWords |= m_replayingStyle ? 0 : word; }
    void fieldInstructionEnd(const Group &closing, QByteArrayView group, bool keepable);
    QByteArray *keptTableOf(Destination destination);
    void showSymbol(const SymbolField &symbol, int fieldId);
    void noteReference();
    void endCell(int depth);
    void endRow(int depth);
    int paragraphTableDepth() const;
    static int tableDepthOf(const ParaState &para);
    void takePageBreak(ParagraphStyle &style);
    void skipGroup();
    void controlSymbol(char symbol);
    void textBytes(std::string_view bytes);
    void hexByte(std::uint8_t byte);
    void unicodeChar(int value);
    void appendChar(char32_t c);

    // Most words come with no bytes waiting.
    void flushBytes()
    {
        if (!m_bytes.empty() || m_fontTable.waiting())
            decodeBytes();
    }
    void decodeBytes();
    // Nor text: most words follow other words, with no text read since.
    void flushText()
    {
        if (!m_text.isEmpty())
            sendText();
    }
    void sendText();
    void flushAll() { flushBytes(); flushText(); flushHidden(); }
    ParagraphStyle endingParagraphStyle();
    void endParagraph();
    void takeParagraphKept(ParagraphStyle &style);
    void endWraps();
    void closeFontTable(Destination parent, bool gaveNothing, QByteArrayView whole);
    void closeColorTable(Destination parent, bool gaveNothing, QByteArrayView whole);
    CodePage &bodyCodePage();
    int fontTableCodePage() const;
    void settleCodePage();
    void changeCodePage(int codePage);
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
    bool m_codePageSettled = false; // the header's code page is m_kept.codePage
    ColorTableReader m_colorTable;

    ListTableReader m_listTable;

    FontTableReader m_fontTable;

    std::string m_bytes;         // undecoded bytes; multi-byte characters may span tokens
    QString m_text;              // decoded text, all in the current style
    bool m_paragraphEmpty = true;
    bool m_pardSinceParagraph = false;
    ParagraphStyle m_finalParagraph;

    RowDefinitionReader m_rows;
    PictureReader m_picture;

    FieldReader m_fields;
    QByteArray m_fieldWords;     // the words of the \field group being read, before its instruction
    NoteNumbering m_notes;
    QByteArrayView m_input;      // for groups kept as written

    StyleSheetReader m_styleSheet;
    bool m_replayingStyle = false;
    QString m_shapePropertyName;
    QString m_symbolFamily;      // the font a SYMBOL field names, while its character is read

    // What is kept as written. Until the first paragraph starts, and again after each \sect,
    // words the reader does not act on and whole groups describe the document or section.
    KeptDocument m_kept;
    qint64 m_tokenOffset = 0;    // where the token in hand starts
    qint64 m_keepFrom = -1;      // the skipped group being kept, from its brace
    bool m_keepingNote = false;
    bool m_capturing = true;
    bool m_pageBorderOpen = false; // border words now describe a page border, a section word
    bool m_bodyStarted = false;
    QByteArray m_sectionWords;   // for the paragraph after a \sect
    QByteArray m_pendingKept;    // groups waiting for the run or paragraph end they precede
    int m_keptIds = 0;
    int m_wrapIds = 0;
    int m_wrapsOpen = 0;
    int m_wrapsKept = 0;         // objects and shapes kept whole so far
    std::uint64_t m_emitted = 0;  // runs and pictures sent so far
    int m_noteIds = 0;
    struct NamedFont {
        QString family;
        int codePage = 0;
        bool single = true;      // false: kept words saw the number stand for several
    };
    std::unordered_map<int, NamedFont> m_fontsNamed;
    std::unordered_map<int, int> m_keptFontCodePages; // each kept entry's code page, as its table gave it
    // The script words of the groups open, each group's at the end of its outer group's; past
    // the innermost group's end, what groups closed since left.
    std::string m_scriptWords;
    QByteArray m_lastScriptWordsNoted;
    QSet<QByteArray> m_scriptWordsNoted; // since the font table last changed
    int m_markNote = 0;          // the note reference being read
    int m_openNote = 0;          // the last mark, until its note or other text comes
    bool m_pageBreakPending = false;
    bool m_pageBreakAfterText = false; // the pending \page ended a paragraph that had text
    bool m_sectionEndPending = false;
    std::string m_hiddenBytes;   // hidden text, kept as a group before the next run
    std::uint64_t m_hiddenRead = 0; // pieces of hidden text read so far
    QString m_hiddenText;
};

} // namespace rtf
