#include "rtf/reader.h"

#include "rtf/codepage.h"
#include "rtf/escape.h"
#include "rtf/fieldreader.h"
#include "rtf/keptformat.h"
#include "rtf/keywords.h"
#include "rtf/tabstops.h"
#include "rtf/tokenizer.h"
#include "rtf/underline.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace rtf {

namespace {

constexpr int MaxListLevels = ListTableReader::MaxLevels;
// Word restates a run's words after each \plain; text that never resets them keeps none.
constexpr qsizetype MaxScriptWords = 1024;

// What a paragraph style that holds the word sets, as the writer needs to know.
int styleSetOf(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Bold: return SetsBold;
    case Keyword::Italic: return SetsItalic;
    case Keyword::Underline: return SetsUnderline;
    case Keyword::Strike: case Keyword::StrikeDouble: return SetsStrike;
    case Keyword::Foreground: return SetsColor;
    case Keyword::Hidden: return SetsHidden;
    default: return 0;
    }
}

bool holdsUnicodeWord(QByteArrayView group)
{
    for (qsizetype at = group.indexOf("\\u"); at >= 0; at = group.indexOf("\\u", at + 2)) {
        if (at + 2 == group.size() || !std::isalpha(static_cast<unsigned char>(group[at + 2])))
            return true;
    }
    return false;
}

// Where a \uc word goes in a group kept whole: after its first word, or before it where the
// writer looks for that word at the group's start (the document's tables).
qsizetype unicodeSkipPlace(QByteArrayView group, bool beforeWord)
{
    const bool starred = group.startsWith("{\\*\\");
    if (beforeWord && !starred)
        return 1;
    qsizetype at = starred ? 4 : 2;
    while (at < group.size() && std::isalpha(static_cast<unsigned char>(group[at])))
        ++at;
    return std::min(at, group.size());
}

// A group kept as written and read again under the saved file's \uc1 must skip as many
// fallback characters after each of its \u words as it did where it stood.
QByteArray underUnicodeSkip(QByteArrayView group, int unicodeSkip, bool beforeWord = false)
{
    QByteArray kept = group.toByteArray();
    if (unicodeSkip != 1 && group.startsWith('{') && holdsUnicodeWord(group))
        kept.insert(unicodeSkipPlace(group, beforeWord), "\\uc" + QByteArray::number(unicodeSkip));
    return kept;
}

// The document's own tables, kept whole: what is kept in the text refers to them.
void keepTable(QByteArray &into, bool inBody, bool gaveNothing, QByteArrayView whole, int unicodeSkip)
{
    if (!inBody || !into.isEmpty() || !gaveNothing)
        return;
    into = underUnicodeSkip(whole, unicodeSkip, true);
}

} // namespace

Reader::Reader(Sink &sink)
    : m_sink(sink)
{
}

void Reader::read(QByteArrayView input)
{
    Tokenizer tokenizer(input);
    m_input = input;
    m_stack.clear();
    m_stack.reserve(64);
    m_stack.emplace_back();

    while (!m_finished) {
        const Token token = tokenizer.next();
        if (token.type == TokenType::End)
            break;
        m_tokenOffset = token.offset;
        if (m_skipDepth > 0) {
            skippedToken(token);
            continue;
        }
        const bool atGroupStart = std::exchange(m_atGroupStart, false);
        const bool starred = std::exchange(m_starred, false);
        switch (token.type) {
        case TokenType::GroupOpen:
            groupOpen();
            m_atGroupStart = true;
            break;
        case TokenType::GroupClose: groupClose(); break;
        case TokenType::Text: textBytes(token.bytes); break;
        case TokenType::HexByte: hexByte(token.byte); break;
        case TokenType::Binary: binaryBytes(token.bytes); break;
        case TokenType::ControlSymbol:
            if (token.symbol == '*') {
                m_starred = atGroupStart;
                m_atGroupStart = atGroupStart;
            } else {
                controlSymbol(token.symbol);
            }
            break;
        case TokenType::ControlWord:
            controlWord(token.name, token.hasParameter, token.parameter, starred);
            break;
        case TokenType::End:
            break;
        }
        if (token.type != TokenType::Text && token.type != TokenType::HexByte)
            tokenizer.setLeadBytes(m_skipDepth == 0 && top().destination == Destination::Body
                                       ? bodyCodePage().leadBytes()
                                       : nullptr);
    }
    finish();
}

// A token inside a skipped destination: only its end matters, and the group kept from it.
void Reader::skippedToken(const Token &token)
{
    if (token.type == TokenType::GroupOpen) {
        ++m_skipDepth;
    } else if (token.type == TokenType::GroupClose && --m_skipDepth == 0 && m_keepFrom >= 0) {
        const QByteArrayView group = m_input.sliced(m_keepFrom, token.offset + 1 - m_keepFrom);
        // Hidden by the text around it, it stays hidden where a save puts it back.
        if (top().chars.hidden && top().destination == Destination::Body && !(m_keepingNote && m_openNote))
            keptGroupEnd("{\\v " + group.toByteArray() + '}');
        else
            keptGroupEnd(group);
        m_keepFrom = -1;
    }
}

// \bin data: a picture's, or a \u character's fallback.
void Reader::binaryBytes(std::string_view bytes)
{
    if (m_fallbackToSkip > 0)
        --m_fallbackToSkip;
    else if (top().destination == Destination::Picture)
        m_picture.binary(bytes);
}

void Reader::finish()
{
    if (!m_finished) {
        // Truncated input: keep what was read, ending in the innermost body group.
        flushAll();
        auto body = std::find_if(m_stack.rbegin(), m_stack.rend(),
                                 [](const Group &g) { return g.destination == Destination::Body; });
        m_finalParagraph = body != m_stack.rend() ? paragraphStyleOf(*body) : ParagraphStyle();
    }
    flushHidden();
    endWraps(); // an object or shape cut off with the input shows as text
    m_finalParagraph.keptAtEnd += std::exchange(m_pendingKept, QByteArray());
    m_finalParagraph.sectionStart = std::exchange(m_sectionWords, QByteArray());
    takePageBreak(m_finalParagraph);
    // Text and kept words name colours by their place among all entries read.
    m_colorTable.keep(m_kept);
    settleCodePage();
    m_kept.defaultFont = m_fontTable.shownDefault();
    for (const auto &[number, named] : m_fontsNamed) {
        if (!named.single)
            continue;
        const auto entry = std::lower_bound(m_kept.fonts.begin(), m_kept.fonts.end(), std::pair(number, QString()));
        const bool inKeptTable = entry != m_kept.fonts.end() && entry->first == number;
        // Where a later table gave a kept entry's number another typeface or code page, all
        // the kept words naming it saw that one: the saved table gives it again after the
        // kept entry, which it overrides as the later table did.
        const bool keptOtherwise = inKeptTable && m_fontTable.renumbered()
            && (entry->second != named.family || m_keptFontCodePages[number] != named.codePage);
        // A number no table names, or one without a typeface or code page, is text in no font.
        const bool unnamed = named.family.isEmpty() && !named.codePage;
        if ((!inKeptTable && !unnamed) || keptOtherwise)
            m_kept.laterFonts.push_back({number, named.codePage, named.family});
    }
    std::sort(m_kept.laterFonts.begin(), m_kept.laterFonts.end(),
              [](const KeptDocument::LaterFont &a, const KeptDocument::LaterFont &b) { return a.number < b.number; });
    m_sink.document(m_kept);
    m_sink.documentEnd(m_finalParagraph, !m_paragraphEmpty || m_pardSinceParagraph);
}

void Reader::groupOpen()
{
    flushAll();
    m_fallbackToSkip = 0;
    if (m_stack.size() >= std::size_t(MaxDepth)) {
        ++m_overflowDepth;
        return;
    }
    // The new group starts as a copy of the one it opens in: copied once, in place.
    m_stack.push_back(top());
    Group &group = m_stack.back();
    group.chars.groupOpened = true;
    group.openOffset = m_tokenOffset;
    group.emittedAtOpen = m_emitted;
    group.wrapOwner = false; // a group inside it shows for it, but is not it
    group.keptAtOpen = &keptInto();
    group.keptSizeAtOpen = group.keptAtOpen->size();
    group.pendingSizeAtOpen = m_pendingKept.size();
    group.hiddenAtOpen = m_hiddenRead;
    group.noteIdsAtOpen = m_noteIds;
    group.fieldOwner = false;
    if (group.destination == Destination::Upr) {
        group.destination = Destination::UprAlternative;
    } else if (group.destination == Destination::StyleSheet) {
        group.destination = Destination::StyleEntry;
        m_styleSheet.startEntry();
    }
}

void Reader::groupClose()
{
    flushAll();
    m_fallbackToSkip = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 2) {
        // The document's own group: everything after it is padding.
        m_finalParagraph = paragraphStyleOf(top());
        m_finished = true;
        return;
    }
    const QByteArrayView whole = m_input.sliced(top().openOffset, m_tokenOffset + 1 - top().openOffset);
    const bool gaveNothing = top().emittedAtOpen == m_emitted;
    const Group group = std::move(m_stack.back());
    m_stack.pop_back();
    // A field's own group that a bare \fldinst made its instruction shows a SYMBOL field's
    // character as it closes: kept whole as well, the character would show twice.
    const bool ownInstruction = group.fieldOwner && group.destination == Destination::FieldInstruction;
    // An object or shape whose own group a table word took over goes back as text, as one cut
    // off does: the table renumbers the fonts or colours the text in it was shown in. So does
    // one a bare \fldinst took over: it shows a SYMBOL field's character, which kept whole
    // it would show again.
    const bool takenOver = group.wrapOwner
        && (group.destination == Destination::FontTable || group.destination == Destination::ColorTable
            || group.destination == Destination::FieldInstruction);
    if (takenOver) {
        m_sink.wrapped(group.wrapId, QByteArray(), TextStyle());
        if (m_wrapsOpen > 0)
            --m_wrapsOpen;
    } else if (!ownInstruction) {
        closeOwner(group, whole, gaveNothing);
    }
    QByteArray *const table = keptTableOf(group.destination);
    const bool tableWasEmpty = table && table->isEmpty();
    // Hidden text read in it before its destination word is kept for the next run: the
    // destination's group kept whole as well would hold it twice, and out of hiding.
    closeDestination(group, whole, gaveNothing && group.hiddenAtOpen == m_hiddenRead);
    if (ownInstruction)
        closeOwner(group, whole, group.emittedAtOpen == m_emitted);
    // A table kept whole holds the words kept from inside its group so far: kept once.
    if (tableWasEmpty && !table->isEmpty())
        forgetKeptSince(group);
}

// Where the document's own table a destination reads is kept as written, if it is one.
QByteArray *Reader::keptTableOf(Destination destination)
{
    switch (destination) {
    case Destination::FontTable: return &m_kept.fontTable;
    case Destination::ColorTable: return &m_kept.colorTable;
    case Destination::StyleSheet: return &m_kept.styleSheet;
    case Destination::ListTable: return &m_kept.listTable;
    case Destination::ListOverrideTable: return &m_kept.listOverrideTable;
    default: return nullptr;
    }
}

// A group whose content is read but showed nothing goes back whole; one that stood in
// hidden text goes back hidden, or read again it would show.
void Reader::keepShownNothing(QByteArrayView whole)
{
    if (top().chars.hidden)
        keptGroupEnd("{\\v " + whole.toByteArray() + '}');
    else
        keptGroupEnd(whole);
}

// The \field, \object or \shp group itself closes.
void Reader::closeOwner(const Group &group, QByteArrayView whole, bool gaveNothing)
{
    // A field with nothing to show keeps its whole group where it stood, with the groups
    // inside it that were kept on their own so far. A field in another's result has no
    // instruction of its own to keep. So does a link with nothing shown (hidden text): its
    // text alone would lose where it led.
    const bool ownLink = group.link >= 0 && group.link != top().link;
    if (group.fieldOwner && (group.fieldId || ownLink) && !top().fieldId && gaveNothing && !group.wrapId) {
        forgetKeptSince(group);
        keepShownNothing(whole);
    }
    if (!group.wrapOwner)
        return;
    if (m_wrapsOpen > 0)
        --m_wrapsOpen;
    // A note mark inside it goes back with it, as written: a note after it is not that mark's.
    if (m_openNote > group.noteIdsAtOpen)
        m_openNote = 0;
    if (!gaveNothing) {
        // The group goes back in the formatting around it: what it shows after its own
        // inner groups close is in that formatting, not in its first run's.
        TextStyle around = currentTextStyle();
        around.noteId = around.wrapId = around.fieldId = 0;
        around.fieldInstruction.clear();
        m_sink.wrapped(group.wrapId, underUnicodeSkip(whole, top().unicodeSkip), around);
        ++m_wrapsKept;
    } else if (group.wrapId) {
        ++m_wrapsKept;
        // With the hidden text and groups kept inside it so far, or they would go back twice.
        forgetKeptSince(group);
        keepShownNothing(whole);
    }
}

// The group of a destination closes, back in `top()`.
void Reader::closeDestination(const Group &group, QByteArrayView whole, bool gaveNothing)
{
    const Destination closing = group.destination;
    const Destination parent = top().destination;
    const bool inBody = parent == Destination::Body;
    switch (closing) {
    // An object or shape kept whole before names fonts by numbers that meant none then: the
    // table, saved at the top, would give them some.
    case Destination::FontTable: closeFontTable(parent, gaveNothing && !m_wrapsKept, whole); return;
    case Destination::ColorTable: closeColorTable(parent, gaveNothing, whole); return;
    case Destination::StyleSheet:
        keepDocumentTable(m_kept.styleSheet, inBody, gaveNothing, whole);
        // A paragraph that named its style before the sheet: saved, the sheet comes first.
        // The groups around the sheet hold it too, as they will once it closes.
        for (Group &around : m_stack) {
            ParagraphStyle &style = around.para.style;
            if (style.styleNumber >= 0 && !style.styleSets)
                style.styleSets = styleSetsOf(style.styleNumber);
        }
        return;
    case Destination::ListTable: keepDocumentTable(m_kept.listTable, inBody, gaveNothing, whole); return;
    case Destination::ListOverrideTable: keepDocumentTable(m_kept.listOverrideTable, inBody, gaveNothing, whole); return;
    case Destination::List:
        if (parent == Destination::ListTable)
            m_listTable.endList();
        return;
    case Destination::ListOverride:
        if (parent == Destination::ListOverrideTable)
            m_listTable.endOverride();
        return;
    case Destination::StyleEntry:
        if (parent == Destination::StyleSheet)
            m_styleSheet.endEntry();
        return;
    case Destination::FieldInstruction:
        // Text shown from the group before its instruction began is in the document: kept
        // with the instruction as well, it would show twice when read again.
        if (parent != Destination::FieldInstruction)
            fieldInstructionEnd(group, whole, gaveNothing);
        return;
    case Destination::Picture:
        if (parent != Destination::Picture)
            closePicture();
        return;
    default:
        return;
    }
}

// A group around a table kept is not kept whole as well, or it would go back twice.
void Reader::keepDocumentTable(QByteArray &into, bool inBody, bool gaveNothing, QByteArrayView whole)
{
    const bool wasEmpty = into.isEmpty();
    keepTable(into, inBody, gaveNothing, whole, top().unicodeSkip);
    if (wasEmpty && !into.isEmpty())
        ++m_emitted;
}

void Reader::closePicture()
{
    if (!top().chars.hidden) {
        stopCapture();
        m_sink.picture(m_picture.picture(), emittedStyle());
        m_paragraphEmpty = false;
    }
    m_picture.clear();
}

void Reader::closeFontTable(Destination parent, bool gaveNothing, QByteArrayView whole)
{
    m_fontTable.end(fontTableCodePage());
    m_scriptWordsNoted.clear();
    const bool inBody = parent == Destination::Body;
    if (inBody && m_kept.fontTable.isEmpty() && gaveNothing) {
        // The names as this table gives them; a later table may renumber fonts, and an
        // earlier one that is not kept names none here.
        for (auto &entry : m_fontTable.tableNames()) {
            const FontTableReader::Font *font = m_fontTable.find(entry.first);
            m_keptFontCodePages[entry.first] = font ? font->codePage : 0;
            m_kept.fonts.push_back(std::move(entry));
        }
        std::sort(m_kept.fonts.begin(), m_kept.fonts.end());
        // Its names read back as they were read only under the code page they were read in.
        settleCodePage();
    }
    if (parent == Destination::FontTable)
        return;
    const bool keptBefore = !m_kept.fontTable.isEmpty();
    keepTable(m_kept.fontTable, inBody, gaveNothing, whole, top().unicodeSkip);
    if (keptBefore || m_kept.fontTable.isEmpty())
        m_fontTable.markRenumbered();
    // A group around a table read is not kept as written, nor an object or shape around
    // it: read again, it would number fonts and colours anew under the text saved after it.
    ++m_emitted;
    endWraps();
}

void Reader::closeColorTable(Destination parent, bool gaveNothing, QByteArrayView whole)
{
    const bool inBody = parent == Destination::Body;
    m_colorTable.end(inBody && m_kept.colorTable.isEmpty() && gaveNothing);
    keepTable(m_kept.colorTable, inBody, gaveNothing, whole, top().unicodeSkip);
    if (parent != Destination::ColorTable) {
        ++m_emitted;
        endWraps();
    }
}

void Reader::fieldInstructionEnd(const Group &closing, QByteArrayView group, bool keepable)
{
    const QString instruction = m_fields.takeInstruction();
    // The field's own words go back before its instruction, as they stood.
    const QByteArray words = top().fieldOwner ? std::exchange(m_fieldWords, QByteArray()) : QByteArray();
    const auto kept = [&](bool symbol) {
        const QByteArray instruction = underUnicodeSkip(group, top().unicodeSkip);
        return words.isEmpty() ? m_fields.keep(instruction, symbol) : m_fields.keep(words + instruction, symbol);
    };
    QStringView arguments;
    const FieldKind kind = fieldKind(instruction, arguments);
    // In a field's result, the outermost field is the one whose instruction is kept.
    // One in an object or shape goes back inside its group, which is kept whole.
    const bool keeps = keepable && top().fieldOwner && !top().fieldId && m_stack.size() > 2
        && !m_stack[m_stack.size() - 2].fieldId && !top().wrapId;
    // The instruction kept holds the words kept from inside its group so far (a note
    // numbering word, say): kept once, before a SYMBOL field's character takes them.
    if (keeps && kind != FieldKind::Link)
        forgetKeptSince(closing);
    switch (kind) {
    case FieldKind::Other:
        // It shows its result and keeps its instruction as written.
        if (keeps)
            top().fieldId = kept(false);
        return;
    case FieldKind::Symbol: {
        // Its character stands for its result, with its instruction for readers that take
        // the character from there; what else its group holds is not the field's.
        const int id = keeps ? kept(true) : 0;
        if (const std::optional<SymbolField> symbol = symbolField(arguments))
            showSymbol(*symbol, id);
        return;
    }
    case FieldKind::Link: {
        QString target = hyperlinkTarget(arguments);
        if (!target.isEmpty())
            top().link = m_fields.addLink(std::move(target));
        return;
    }
    }
}

// A SYMBOL field names its character in the instruction, and producers often leave the
// result empty: the character comes from the instruction and the result is skipped.
void Reader::showSymbol(const SymbolField &symbol, int fieldId)
{
    Group &group = top();
    if (group.destination != Destination::Body || group.chars.hidden)
        return;
    flushAll();
    const int font = group.chars.font;
    // The character is in the field's font, which no kept word names.
    const bool scripted = std::exchange(group.chars.scripted, false);
    const int outerField = std::exchange(group.fieldId, fieldId ? fieldId : group.fieldId);
    constexpr int Unnamed = std::numeric_limits<int>::min();
    const int named = m_fontTable.numberNamed(symbol.fontName, Unnamed);
    if (named != Unnamed) {
        group.chars.font = named;
    } else if (!symbol.fontName.isEmpty()) {
        // A font the table lacks is still the one the character is drawn in; saved, it has
        // an entry, so reading the copy must not give the character another font. Named as
        // that entry reads back: without the characters the reader drops.
        for (const QChar c : symbol.fontName.trimmed()) {
            if (!isDroppedCharacter(c.unicode()))
                m_symbolFamily += c;
        }
        m_symbolFamily = m_symbolFamily.trimmed();
    }
    // A code below 256 is an ANSI character or a symbol font's glyph number, whatever the
    // document's code page: decoded through a font's, it would change with the font table
    // a save writes.
    if (symbol.unicode || symbol.value > 0xFF) {
        appendChar(symbol.value);
    } else {
        CodePage windows1252(1252); // a table of 256 characters: cheap beside a field
        QString decoded;
        const char byte = char(symbol.value);
        windows1252.decode(std::string_view(&byte, 1), decoded);
        for (const QChar c : std::as_const(decoded))
            appendChar(c.unicode());
    }
    flushAll();
    m_symbolFamily.clear();
    group.chars.font = font;
    group.chars.scripted = scripted;
    group.fieldId = outerField;
    group.symbolShown = true;
}

// A note reference shows its number, which its note goes back with.
void Reader::noteReference()
{
    flushAll();
    if (top().chars.hidden) {
        // A hidden mark shows no number; it goes back as the mark it was, still counted,
        // and a note after it as a group kept hidden. In an object or shape it goes back
        // only with the group, if that is kept whole: not counted, it numbers nothing
        // either way.
        if (!top().wrapId) {
            m_notes.nextReference();
            m_pendingKept += "{\\v \\chftn}";
        }
        m_openNote = 0;
        return;
    }
    const QString number = m_notes.nextReference();
    m_markNote = ++m_noteIds;
    for (const QChar c : number)
        appendChar(c.unicode());
    flushAll();
    m_markNote = 0;
    m_openNote = m_noteIds;
}

// A destination kept whole: its bytes are taken from the input when it closes.
void Reader::keepGroup(const KeywordInfo &info)
{
    // A group that already gave text is not kept: its text is in the document already. Nor
    // is a table the word stands in, out of place: what was read of it holds already.
    flushAll();
    const bool keep = m_overflowDepth == 0 && m_stack.size() > 2 && top().destination == Destination::Body
        && m_stack[m_stack.size() - 2].destination == Destination::Body && top().emittedAtOpen == m_emitted
        && top().hiddenAtOpen == m_hiddenRead;
    const qint64 from = top().openOffset;
    if (keep)
        forgetKeptSince(top());
    skipGroup();
    if (keep && m_skipDepth > 0) {
        m_keepFrom = from;
        m_keepingNote = info.keyword == Keyword::Footnote;
    }
}

void Reader::keptGroupEnd(QByteArrayView written)
{
    if (top().destination == Destination::Picture) {
        m_picture.setProperties(written.toByteArray());
        return;
    }
    if (top().wrapId)
        return; // inside a group that goes back whole
    const QByteArray group = underUnicodeSkip(written, top().unicodeSkip);
    if (m_keepingNote && m_openNote) {
        m_sink.note(m_openNote, group, m_notes.endnoteNumber(group));
        m_openNote = 0;
    } else {
        keptInto() += group;
    }
}

// A group about to be kept whole holds what was kept inside it so far: kept once.
void Reader::forgetKeptSince(const Group &group)
{
    // Where they went when it opened, though the text may have begun in it since.
    if (QByteArray *into = group.keptAtOpen; into && into->size() >= group.keptSizeAtOpen)
        into->truncate(group.keptSizeAtOpen);
    // Hidden text waits for the next run also while the opening words are kept.
    if (m_pendingKept.size() >= group.pendingSizeAtOpen)
        m_pendingKept.truncate(group.pendingSizeAtOpen);
}

QByteArray &Reader::keptInto()
{
    if (m_capturing)
        return m_bodyStarted ? m_sectionWords : m_kept.prologue;
    return m_pendingKept;
}

namespace {

// Appends a control word as written. Made whole first and appended once: words are kept for
// nearly every run.
template <typename Bytes>
void appendWord(Bytes &into, std::string_view name, bool hasParameter, int parameter)
{
    using Size = decltype(into.size());
    char word[64];
    if (name.size() + 13 > sizeof word) {
        into += '\\';
        into.append(name.data(), Size(name.size()));
        if (hasParameter) {
            const std::string number = std::to_string(parameter);
            into.append(number.data(), Size(number.size()));
        }
        return;
    }
    word[0] = '\\';
    std::memcpy(word + 1, name.data(), name.size());
    char *end = word + 1 + name.size();
    if (hasParameter)
        end = std::to_chars(end, word + sizeof word, parameter).ptr;
    into.append(word, Size(end - word));
}

} // namespace

void Reader::keepWord(std::string_view name, bool hasParameter, int parameter, QByteArray &into)
{
    // Bounded: a hostile file could repeat words without end.
    if (into.size() > (1 << 20))
        return;
    appendWord(into, name, hasParameter, parameter);
}

// The first paragraph of the document, or of a section, has begun.
void Reader::stopCapture()
{
    if (!m_capturing)
        return;
    m_capturing = false;
    m_bodyStarted = true;
    settleCodePage();
}

// The header states the code page in force here: a change after it goes back where it stood.
void Reader::settleCodePage()
{
    if (m_codePageSettled)
        return;
    m_codePageSettled = true;
    m_kept.codePage = m_documentCodePage;
}

void Reader::changeCodePage(int codePage)
{
    const bool changed = codePage != m_documentCodePage;
    m_documentCodePage = codePage;
    // Groups kept as written decode their bytes on the next reading in the code page then in
    // force; a group kept whole replays the word itself. One that changes nothing is kept
    // too: a change before it may stand in text a save writes otherwise (hidden text).
    if (m_codePageSettled && !top().wrapId && (changed || m_bodyStarted)) {
        flushAll();
        keepWord("ansicpg", true, codePage, keptInto());
        if (!m_capturing)
            m_pendingKept += ' ';
    }
}

// Hidden text is not shown; it goes back into the file as a group before the next run.
void Reader::keepHidden()
{
    if (!m_hiddenBytes.empty()) {
        bodyCodePage().decode(m_hiddenBytes, m_hiddenText);
        m_hiddenBytes.clear();
    }
    if (m_hiddenText.isEmpty())
        return;
    if (top().wrapId) {
        m_hiddenText.clear(); // inside a group that goes back whole
        return;
    }
    m_pendingKept += "{\\v ";
    appendEscapedText(m_pendingKept, m_hiddenText);
    m_pendingKept += '}';
    m_hiddenText.clear();
}

TextStyle Reader::emittedStyle()
{
    ++m_emitted;
    TextStyle style = currentTextStyle();
    // Script words go back as written, naming fonts by the file's numbers.
    // Runs often take turns between a few sets of words: each is looked through once for
    // each state of the font table.
    if (!style.scriptWords.isEmpty() && style.scriptWords != m_lastScriptWordsNoted
        && !m_scriptWordsNoted.contains(style.scriptWords)) {
        m_lastScriptWordsNoted = style.scriptWords;
        if (m_scriptWordsNoted.size() >= 4096) // bounded: hostile files may hold any number
            m_scriptWordsNoted.clear();
        m_scriptWordsNoted.insert(style.scriptWords);
        const QByteArrayView words = style.scriptWords;
        bool named = false;
        for (qsizetype at = words.indexOf("\\f"); at >= 0; at = words.indexOf("\\f", at + 2)) {
            const char *from = words.data() + at + 2, *const last = words.data() + words.size();
            if (from != last && std::isalpha(static_cast<unsigned char>(*from)))
                continue; // another word: \fs, \fi...
            int number = 0; // a bare \f names font 0
            std::from_chars(from, last, number);
            noteFontNamed(std::max(number, 0));
            named = true;
        }
        // Words that name no font leave the run in the default one.
        if (!named && m_fontTable.shownDefault() >= 0)
            noteFontNamed(m_fontTable.shownDefault());
    }
    if (!m_pendingKept.isEmpty()) {
        style.keptBefore = std::exchange(m_pendingKept, QByteArray());
        style.keptId = ++m_keptIds;
    }
    if (!m_markNote)
        m_openNote = 0;
    return style;
}

void Reader::skipGroup()
{
    flushAll();
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
    } else if (m_stack.size() > 2) {
        if (top().wrapOwner) {
            // An object or shape cut short by a destination word goes back as what it showed.
            m_sink.wrapped(top().wrapId, QByteArray(), TextStyle());
            --m_wrapsOpen;
        }
        m_stack.pop_back();
    } else
        return; // never skip the document itself
    m_skipDepth = 1;
}

void Reader::controlWord(std::string_view name, bool hasParameter, int parameter, bool starred)
{
    const KeywordInfo &info = lookupKeyword(name);
    const Word word{info, name, hasParameter, parameter};
    switch (info.kind) {
    case WordKind::Kept:
    case WordKind::DocumentLevel:
        keepGroup(info);
        return;
    case WordKind::Dropped:
        dropGroup(word);
        return;
    case WordKind::Symbol:
        symbolWord(info);
        return;
    case WordKind::KeptWord:
        keptWord(word);
        return;
    default:
        break;
    }
    if (starred && !info.readStarred) {
        // An ignorable destination we do not read: kept as it stands.
        keepGroup(info);
        return;
    }
    destinationWord(word);
}

void Reader::dropGroup(const Word &word)
{
    if (top().destination == Destination::Picture && word.name == "picprop" && m_overflowDepth == 0) {
        const qint64 from = top().openOffset;
        skipGroup();
        m_keepFrom = m_skipDepth > 0 ? from : -1;
        return;
    }
    skipGroup();
}

void Reader::symbolWord(const KeywordInfo &info)
{
    if (m_fallbackToSkip > 0)
        --m_fallbackToSkip;
    else if (top().destination == Destination::Body || top().destination == Destination::FieldInstruction)
        appendChar(info.symbol);
}

void Reader::keptWord(const Word &word)
{
    if (top().destination == Destination::Body && !top().wrapId) {
        flushAll();
        keepWord(word.name, word.hasParameter, word.parameter, m_pendingKept);
        m_pendingKept += ' ';
    }
}

// A word that acts: the destination it stands in says what it means there.
void Reader::destinationWord(const Word &word)
{
    Group &group = top();
    switch (group.destination) {
    case Destination::Body:
        sectionWord(word);
        bodyWord(word);
        return;
    case Destination::UprAlternative:
        if (word.keyword() == Keyword::Ud)
            group.destination = Destination::Body;
        else
            skipGroup();
        return;
    case Destination::Upr:
    case Destination::StyleSheet:
    case Destination::ShapePropertyName:
        return;
    case Destination::FontTable: fontTableWord(word); return;
    case Destination::ColorTable: m_colorTable.word(word.keyword(), word.parameter); return;
    case Destination::ListTable:
    case Destination::List:
    case Destination::ListLevel:
    case Destination::ListOverrideTable:
    case Destination::ListOverride:
        listTableWord(word);
        return;
    case Destination::Pn: pnWord(word); return;
    case Destination::Picture:
        m_picture.word(word.keyword(), word.name, word.hasParameter, word.parameter);
        return;
    case Destination::FieldInstruction:
        // A link's target may hold a tab or a typographic quote, written as words.
        characterWord(word);
        return;
    case Destination::StyleEntry: m_styleSheet.word(word.info, word.hasParameter, word.parameter); return;
    case Destination::ShapeProperty:
    case Destination::ShapePropertyValue:
        shapeWord(word);
        return;
    }
}

// Words that describe the document or a section: kept as written, in order.
void Reader::sectionWord(const Word &word)
{
    const Keyword keyword = word.keyword();
    const std::string_view name = word.name;
    const bool numbering = keyword == Keyword::FootnoteNumbering || keyword == Keyword::EndnoteNumbering;
    if (numbering)
        m_notes.setNumbering(keyword, name);
    // After a \sect the next section's words may stand in a group that held the \sect (as in
    // an index's field result): they still describe the section that begins.
    const bool sectionLevel = m_capturing && (m_stack.size() == 2 || (m_bodyStarted && !top().wrapId));
    const bool pageBorder = m_pageBorderOpen && (keyword == Keyword::BorderAttribute || keyword == Keyword::BorderStyle);
    m_pageBorderOpen = sectionLevel && (name.starts_with("pgbrdr") || (m_pageBorderOpen && (pageBorder || (keyword == Keyword::Unknown && name.starts_with("brdr")))));
    if (sectionLevel && (keyword == Keyword::Unknown || numbering || pageBorder)) {
        keepWord(name, word.hasParameter, word.parameter, m_bodyStarted ? m_sectionWords : m_kept.prologue);
    } else if (numbering && !top().wrapId) {
        // Elsewhere it still numbers the notes after it, so it goes back where it stood.
        flushAll();
        keepWord(name, word.hasParameter, word.parameter, keptInto());
        if (!m_capturing)
            m_pendingKept += ' '; // text may follow it
    }
}

void Reader::fontTableWord(const Word &word)
{
    m_scriptWordsNoted.clear();
    if (!m_fontTable.word(word.keyword(), word.parameter, fontTableCodePage()))
        characterWord(word);
}

void Reader::listTableWord(const Word &word)
{
    Group &group = top();
    const Keyword keyword = word.keyword();
    const bool opens = m_overflowDepth == 0;
    switch (group.destination) {
    case Destination::ListTable:
        if (keyword == Keyword::List && opens) {
            group.destination = Destination::List;
            m_listTable.startList();
        }
        return;
    case Destination::List:
        if (keyword == Keyword::ListLevel && opens) {
            group.destination = Destination::ListLevel;
            m_listTable.startLevel();
        } else {
            m_listTable.listWord(keyword, word.parameter);
        }
        return;
    case Destination::ListLevel:
        m_listTable.levelWord(keyword, word.parameter);
        return;
    case Destination::ListOverrideTable:
        if (keyword == Keyword::ListOverride && opens) {
            group.destination = Destination::ListOverride;
            m_listTable.startOverride();
        }
        return;
    default: // Destination::ListOverride
        m_listTable.overrideWord(keyword, word.parameter);
        return;
    }
}

void Reader::shapeWord(const Word &word)
{
    Group &group = top();
    const Keyword keyword = word.keyword();
    if (group.destination == Destination::ShapePropertyValue) {
        if (keyword == Keyword::Picture && m_overflowDepth == 0) {
            group.destination = Destination::Picture;
            m_picture.start();
        }
        return;
    }
    if (keyword == Keyword::ShapePropertyName) {
        group.destination = Destination::ShapePropertyName;
        m_shapePropertyName.clear();
    } else if (keyword == Keyword::ShapePropertyValue) {
        // A picture shape keeps its picture here; its \shprslt copy is skipped.
        if (m_shapePropertyName == u"pib" && m_overflowDepth == 0)
            group.destination = Destination::ShapePropertyValue;
        else
            skipGroup();
    }
}

void Reader::applyStyle(int key)
{
    const StyleSheetReader::Style *style = m_styleSheet.resolve(key);
    if (!style)
        return;
    // What the paragraph stated stands, even when stated before its style.
    const int given = top().para.style.givenWords;
    m_replayingStyle = true;
    for (const StyleSheetReader::Word &word : style->words) {
        if (!(word.info->gives & given))
            bodyWord(Word{*word.info, word.info->name, word.hasParameter, word.parameter});
    }
    m_replayingStyle = false;
}

void Reader::pnWord(const Word &word)
{
    ParaState &para = m_stack[std::size_t(top().pnOwner)].para;
    if (para.pnContinued)
        return; // the kind words Word writes after it do not make it an item
    const bool numbered = para.pnKind != ListKind::None && para.pnKind != ListKind::Bullet;
    switch (word.keyword()) {
    case Keyword::PnBullet:
        para.pnKind = ListKind::Bullet;
        para.pnLevel = 0;
        return;
    case Keyword::PnBody:
        para.pnKind = numbered ? para.pnKind : ListKind::Decimal;
        para.pnLevel = 0;
        return;
    case Keyword::PnLevel:
        para.pnKind = numbered ? para.pnKind : ListKind::Decimal;
        para.pnLevel = std::clamp(word.parameter, 1, MaxListLevels) - 1;
        return;
    case Keyword::PnContinue:
        para.pnKind = ListKind::None;
        para.pnContinued = true;
        return;
    case Keyword::PnDecimal: setPnNumbering(para, ListKind::Decimal); return;
    case Keyword::PnUpperLetter: setPnNumbering(para, ListKind::UpperAlpha); return;
    case Keyword::PnLowerLetter: setPnNumbering(para, ListKind::LowerAlpha); return;
    case Keyword::PnUpperRoman: setPnNumbering(para, ListKind::UpperRoman); return;
    case Keyword::PnLowerRoman: setPnNumbering(para, ListKind::LowerRoman); return;
    default:
        return;
    }
}

// A bullet stays a bullet whatever numbering follows it.
void Reader::setPnNumbering(ParaState &para, ListKind kind)
{
    if (para.pnKind != ListKind::Bullet)
        para.pnKind = kind;
}

// The words that set a \u character or how many fallback characters follow it.
bool Reader::characterWord(const Word &word)
{
    switch (word.keyword()) {
    case Keyword::Unicode:
        unicodeChar(word.parameter);
        m_fallbackToSkip = top().unicodeSkip;
        return true;
    case Keyword::UnicodeSkip:
        top().unicodeSkip = std::uint8_t(std::clamp(word.parameter, 0, 255));
        return true;
    default:
        return false;
    }
}

// Words in the text that stand for or skip text: the run they stand in goes on.
bool Reader::textWord(const Word &word)
{
    switch (word.keyword()) {
    case Keyword::FootnoteNumber:
        if (m_fallbackToSkip > 0)
            --m_fallbackToSkip;
        else
            noteReference();
        return true;
    case Keyword::FieldResult:
        if (top().symbolShown)
            skipGroup();
        return true;
    case Keyword::Unicode:
    case Keyword::UnicodeSkip:
        return characterWord(word);
    default:
        return false;
    }
}

void Reader::bodyWord(const Word &word)
{
    if (word.info.kind == WordKind::Unknown || textWord(word))
        return;
    flushAll();
    if (word.info.scriptBound)
        keepScriptWord(word);
    switch (word.info.kind) {
    case WordKind::Flag: flagWord(word); return;
    case WordKind::Toggle: toggleWord(word); return;
    case WordKind::Value: valueWord(word); return;
    case WordKind::Destination: openDestination(word); return;
    default: return;
    }
}

// What these words mean depends on the script words before them, in their group: kept in
// order, with a { where a group began, as readers start each in the text's own script.
void Reader::keepScriptWord(const Word &word)
{
    CharState &chars = top().chars;
    if (chars.wordsTo - chars.wordsFrom <= MaxScriptWords) {
        // Appended in place: a group's words are a copy of its outer group's only in name.
        m_scriptWords.resize(std::size_t(chars.wordsTo)); // what groups closed since left
        if (std::exchange(chars.groupOpened, false) && chars.wordsTo > chars.wordsFrom)
            m_scriptWords += '{';
        appendWord(m_scriptWords, word.name, word.hasParameter, word.parameter);
        chars.wordsTo = qsizetype(m_scriptWords.size());
        // Kept words may name a font the table lacks; new entries must not take its number.
        if (word.keyword() == Keyword::Font || word.name == "af")
            m_kept.highestFontNumber = std::max(m_kept.highestFontNumber, word.parameter);
        if (word.keyword() == Keyword::Font && top().wrapId)
            noteFontNamed(std::max(word.parameter, 0));
    }
}

// Kept words go back naming fonts by the file's numbers, and the bytes of an object or shape
// go back to be decoded in its fonts' code pages. Where a table that is not kept gave a number
// its typeface or code page, the saved table must give it the same: noted for each number,
// unless kept words named it while it stood for another.
void Reader::noteFontNamed(int number)
{
    const FontTableReader::Font *font = m_fontTable.find(number);
    const QString family = font ? font->name : QString();
    const int codePage = font ? font->codePage : 0;
    const auto [it, added] = m_fontsNamed.try_emplace(number, NamedFont{family, codePage, true});
    if (!added && (it->second.family != family || it->second.codePage != codePage))
        it->second.single = false;
    else if (added && m_fontsNamed.size() > 4096)
        m_fontsNamed.erase(it); // bounded: hostile files may name any number of fonts
}

void Reader::flagWord(const Word &word)
{
    Group &group = top();
    CharState &chars = group.chars;
    ParaState &para = group.para;
    switch (word.keyword()) {
    case Keyword::Plain: {
        // The words start anew after those the outer groups still hold.
        const qsizetype wordsEnd = chars.wordsTo;
        chars = CharState();
        chars.wordsFrom = chars.wordsTo = wordsEnd;
        return;
    }
    case Keyword::FieldWord:
        if (group.fieldOwner && m_fieldWords.size() < 64)
            keepWord(word.name, word.hasParameter, word.parameter, m_fieldWords);
        return;
    case Keyword::UnderlineNone:
        chars.underline = false;
        chars.underlineKind = 0;
        return;
    case Keyword::NoSuperSub: chars.position = VerticalPosition::Normal; return;
    case Keyword::Ansi:
        if (!m_codePageGiven)
            changeCodePage(1252);
        return;
    case Keyword::Mac: changeCodePage(10000); return;
    case Keyword::Pc: changeCodePage(437); return;
    case Keyword::Pca: changeCodePage(850); return;
    case Keyword::Par: endParagraph(); return;
    case Keyword::Page: pageBreak(); return;
    case Keyword::Section: sectionBreak(); return;
    case Keyword::Pard: {
        QByteArray waiting = para.style.tabs.mid(settledTabWords(para.style.tabs));
        para = ParaState();
        para.style.tabs = std::move(waiting);
        m_pardSinceParagraph = true;
        stopCapture();
        return;
    }
    case Keyword::AlignLeft: setAlignment(para, Alignment::Left, word); return;
    case Keyword::AlignRight: setAlignment(para, Alignment::Right, word); return;
    case Keyword::AlignCenter: setAlignment(para, Alignment::Center, word); return;
    case Keyword::AlignJustify: setAlignment(para, Alignment::Justify, word); return;
    case Keyword::InTable: para.inTable = true; return;
    case Keyword::RowDefaults: startRowDefinition(); return;
    case Keyword::CellMergeLeft: m_rows.mergeNextCell(MergeLeft); return;
    case Keyword::CellMergeUp: m_rows.mergeNextCell(MergeUp); return;
    case Keyword::CellBorder:
        m_rows.openCellBorder();
        para.borderOpen = false;
        return;
    case Keyword::Cell: endCell(1); return;
    case Keyword::NestCell: endCell(std::max(2, paragraphTableDepth())); return;
    case Keyword::Row: endRow(1); return;
    case Keyword::NestRow: endRow(std::max(2, paragraphTableDepth())); return;
    default: return;
    }
}

void Reader::setAlignment(ParaState &para, Alignment alignment, const Word &word)
{
    para.style.alignment = alignment;
    given(para, word.info.gives);
}

void Reader::toggleWord(const Word &word)
{
    const bool on = word.value() != 0;
    CharState &chars = top().chars;
    ParagraphStyle &style = top().para.style;
    switch (word.keyword()) {
    case Keyword::Bold: chars.bold = on; return;
    case Keyword::Italic: chars.italic = on; return;
    case Keyword::Underline:
        chars.underline = on;
        chars.underlineKind = on ? std::uint8_t(underlineKindOf(word.name)) : 0;
        return;
    case Keyword::Strike:
    case Keyword::StrikeDouble: chars.strike = on; return;
    case Keyword::Superscript: chars.position = on ? VerticalPosition::Super : VerticalPosition::Normal; return;
    case Keyword::Subscript: chars.position = on ? VerticalPosition::Sub : VerticalPosition::Normal; return;
    case Keyword::Hidden: chars.hidden = on; return;
    case Keyword::PageBreakBefore: style.pageBreakBefore = on; return;
    case Keyword::LineMultiple: style.lineMultiple = on; return;
    default: return;
    }
}

void Reader::valueWord(const Word &word)
{
    Group &group = top();
    CharState &chars = group.chars;
    const int parameter = word.parameter;
    switch (word.keyword()) {
    case Keyword::AnsiCodePage:
        if (parameter > 0) {
            changeCodePage(parameter);
            m_codePageGiven = true;
        }
        return;
    case Keyword::DefaultFont:
        // A document has one default font, which its header gives: another \\deff (in an RTF
        // header pasted into the text) would give text read before it another font than a
        // save, which writes one.
        if (!m_fontTable.defaultGiven() && !m_bodyStarted)
            m_fontTable.setDefault(parameter);
        return;
    case Keyword::Font: chars.font = std::max(parameter, 0); return;
    case Keyword::FontSize: chars.halfPoints = std::clamp(word.value(), 0, 3276); return;
    case Keyword::Foreground: chars.foreground = std::max(parameter, 0); return;
    case Keyword::Background: chars.background = std::max(parameter, 0); return;
    case Keyword::Language: chars.language = parameter; return;
    case Keyword::Raise: chars.raise = std::clamp(word.value(), 0, 3276); return;
    case Keyword::Lower: chars.raise = -std::clamp(word.value(), 0, 3276); return;
    case Keyword::ScriptWord: chars.scripted = true; return;
    case Keyword::ParagraphStyleRef: paragraphStyleRef(parameter); return;
    case Keyword::CharacterStyleRef: characterStyleRef(parameter); return;
    default: paragraphValue(word); return;
    }
}

void Reader::paragraphValue(const Word &word)
{
    ParaState &para = top().para;
    ParagraphStyle &style = para.style;
    const int parameter = word.parameter;
    switch (word.keyword()) {
    case Keyword::LineSpacing:
        style.lineSpacing = std::clamp(parameter, -31680, 31680);
        given(para, GivesLineSpacing);
        return;
    case Keyword::LeftIndent:
        style.leftIndent = parameter;
        given(para, word.name == "lin" ? GivesLeft : GivesLeft | GivesLeftByLi);
        return;
    case Keyword::RightIndent:
        style.rightIndent = parameter;
        style.rightIndentGiven = true;
        given(para, GivesRight);
        return;
    case Keyword::FirstIndent: style.firstLineIndent = parameter; given(para, GivesFirst); return;
    case Keyword::SpaceBefore: style.spaceBefore = parameter; given(para, GivesBefore); return;
    case Keyword::SpaceAfter: style.spaceAfter = parameter; given(para, GivesAfter); return;
    case Keyword::ListOverrideIndex: para.listOverride = parameter; return;
    case Keyword::ListLevelIndex: para.listLevel = std::clamp(parameter, 0, MaxListLevels - 1); return;
    case Keyword::TableDepth: para.tableDepth = std::clamp(parameter, 0, MaxTableDepth); return;
    case Keyword::TabWord: keepParagraphWord(word, style.tabs); return;
    case Keyword::FrameWord: keepParagraphWord(word, style.frameWords); return;
    case Keyword::ShadingWord: keepParagraphWord(word, style.shadingWords); return;
    case Keyword::ShadingColor: shadingColor(word); return;
    default: rowValue(word); return;
    }
}

// Tab, frame, shading and border words go back as written with their paragraph.
void Reader::keepParagraphWord(const Word &word, QByteArray &into, int parameter)
{
    if (into.size() < 4096)
        keepWord(word.name, word.hasParameter, parameter, into);
}

void Reader::shadingColor(const Word &word)
{
    ParagraphStyle &style = top().para.style;
    const int parameter = word.parameter;
    style.shading = m_colorTable.at(parameter);
    // Kept as 0 when it names no colour: a save may add the entry it names.
    keepParagraphWord(word, style.shadingWords, style.shading.isValid() ? parameter : 0);
}

// Words that define the row, or else the paragraph's borders.
void Reader::rowValue(const Word &word)
{
    ParaState &para = top().para;
    switch (word.keyword()) {
    case Keyword::RowLeft:
        defineRow();
        m_rows.setLeft(word.parameter);
        return;
    case Keyword::CellRight:
        defineRow();
        m_rows.addCell(word.parameter);
        return;
    case Keyword::ParagraphBorder:
        para.borderOpen = true;
        m_rows.closeCellBorder();
        keepParagraphWord(word, para.style.borders);
        return;
    case Keyword::BorderAttribute:
        if (para.borderOpen && !m_rows.cellBorderOpen())
            keepParagraphWord(word, para.style.borders);
        return;
    case Keyword::BorderStyle:
        if (m_rows.cellBorderOpen()) {
            defineRow();
            m_rows.showBorders();
        } else if (para.borderOpen) {
            keepParagraphWord(word, para.style.borders);
        }
        return;
    case Keyword::BorderNone:
        if (!m_rows.cellBorderOpen() && para.borderOpen)
            keepParagraphWord(word, para.style.borders);
        m_rows.closeCellBorder();
        return;
    default:
        return;
    }
}

// A row's definition holds past its group: a group that gave one is not kept as written,
// where read again it would define the row it is saved in; nor is an object or shape it
// stands in, which the row's definition written again would follow.
void Reader::defineRow()
{
    ++m_emitted;
    endWraps();
}

void Reader::startRowDefinition()
{
    defineRow();
    stopCapture();
    m_rows.start(top().nestProperties ? std::max(2, paragraphTableDepth()) : 1);
}

// A page break starts the next paragraph on a new page; it is not a paragraph itself.
void Reader::pageBreak()
{
    // Written back where it stood, after the text, in the body only.
    m_pageBreakAfterText = !m_paragraphEmpty && paragraphTableDepth() == 0;
    if (!m_paragraphEmpty)
        endParagraph();
    m_pageBreakPending = true;
}

// Inside a table the \sect only ends the paragraph, and starts no section there.
void Reader::sectionBreak()
{
    const bool inTable = paragraphTableDepth() > 0;
    m_sectionEndPending = true;
    endParagraph();
    m_capturing = !inTable;
}

void Reader::paragraphStyleRef(int parameter)
{
    applyStyle(std::max(parameter, 0));
    ParagraphStyle &style = top().para.style;
    style.styleNumber = std::max(parameter, 0);
    style.styleSets = styleSetsOf(style.styleNumber);
    int styleGives = 0;
    if (const StyleSheetReader::Style *sheet = keptStyle(style.styleNumber)) {
        for (const StyleSheetReader::Word &word : sheet->words)
            styleGives |= word.info->gives;
    }
    // What the style leaves stands as the paragraph had it, from itself or an earlier style:
    // the paragraph's own unless it is what a fresh paragraph has.
    style.givenWords |= ~styleGives
        & ((style.alignment != Alignment::Left ? GivesAlignment : 0) | (style.leftIndent ? GivesLeft : 0)
           | (style.firstLineIndent ? GivesFirst : 0) | (style.rightIndent ? GivesRight : 0)
           | (style.spaceBefore ? GivesBefore : 0) | (style.spaceAfter ? GivesAfter : 0));
}

// What the style sets and gives matters only to a writer that writes the stylesheet back:
// one not kept whole sets nothing on the next reading either.
const StyleSheetReader::Style *Reader::keptStyle(int number)
{
    return m_kept.styleSheet.isEmpty() ? nullptr : m_styleSheet.resolve(number);
}

int Reader::styleSetsOf(int number)
{
    int sets = 0;
    if (const StyleSheetReader::Style *sheet = keptStyle(number)) {
        for (const StyleSheetReader::Word &word : sheet->words)
            sets |= styleSetOf(word.info->keyword);
    }
    return sets;
}

void Reader::characterStyleRef(int parameter)
{
    // The kept words name the style where it stood, not the words it gives.
    const qsizetype wordsFrom = top().chars.wordsFrom, wordsTo = top().chars.wordsTo;
    applyStyle(-1 - std::max(parameter, 0));
    top().chars.characterStyle = std::max(parameter, 0);
    top().chars.wordsFrom = wordsFrom;
    top().chars.wordsTo = wordsTo;
}

void Reader::openDestination(const Word &word)
{
    Group &group = top();
    switch (word.keyword()) {
    case Keyword::Field:
        if (group.destination == Destination::Body)
            m_fieldWords.clear();
        group.fieldOwner = true;
        group.symbolShown = false; // a SYMBOL field around it skips its own result, not this one's
        return;
    case Keyword::WrappedContainer:
        // Objects and shapes go back whole; what they show stands for them.
        if (!group.wrapId && m_overflowDepth == 0 && m_stack.size() > 2 && group.emittedAtOpen == m_emitted) {
            group.wrapId = ++m_wrapIds;
            group.wrapOwner = true;
            ++m_wrapsOpen;
            // The words kept from its group so far (a code page word) go back in it.
            forgetKeptSince(group);
        }
        return;
    case Keyword::NestTableProperties: group.nestProperties = true; return;
    default:
        enterDestination(word.keyword());
        return;
    }
}

void Reader::enterDestination(Keyword keyword)
{
    const Destination destination = readDestination(keyword);
    if (destination == Destination::Body || m_overflowDepth > 0 || m_stack.size() <= 2)
        return; // a table with no group of its own would swallow the document
    // One that comes after the text began did not style the text before it, as it would
    // saved at the top: it is kept where it stands, unread, whatever came before it.
    const bool documentTable = destination == Destination::StyleSheet || destination == Destination::ListTable
        || destination == Destination::ListOverrideTable;
    if (documentTable && m_bodyStarted) {
        keepGroup(KeywordInfo());
        return;
    }
    // A document has one stylesheet and one set of list tables: the first, which is
    // the one kept and saved, so later ones would mean what a save does not hold.
    if ((destination == Destination::StyleSheet && !m_kept.styleSheet.isEmpty())
        || (destination == Destination::ListTable && !m_kept.listTable.isEmpty())
        || (destination == Destination::ListOverrideTable && !m_kept.listOverrideTable.isEmpty())) {
        skipGroup();
        return;
    }
    top().destination = destination;
    startDestination(destination);
}

// The destination a word opens in the body, or Body where it opens none.
Reader::Destination Reader::readDestination(Keyword keyword)
{
    switch (keyword) {
    case Keyword::FontTable: return Destination::FontTable;
    case Keyword::ColorTable: return Destination::ColorTable;
    case Keyword::ListTable: return Destination::ListTable;
    case Keyword::ListOverrideTable: return Destination::ListOverrideTable;
    case Keyword::Pn: return Destination::Pn;
    case Keyword::Upr: return Destination::Upr;
    case Keyword::Picture: return Destination::Picture;
    case Keyword::FieldInstruction: return Destination::FieldInstruction;
    case Keyword::StyleSheet: return Destination::StyleSheet;
    case Keyword::ShapeProperty: return Destination::ShapeProperty;
    default: return Destination::Body;
    }
}

void Reader::startDestination(Destination destination)
{
    switch (destination) {
    case Destination::Picture: m_picture.start(); return;
    case Destination::FieldInstruction: m_fields.start(); return;
    case Destination::ShapeProperty: m_shapePropertyName.clear(); return;
    case Destination::Pn: top().pnOwner = int(m_stack.size()) - 2; return;
    case Destination::FontTable:
        m_fontTable.start();
        m_scriptWordsNoted.clear();
        // A table after the kept one gives its numbers other fonts, even where a destination
        // word in its group takes the group over and it never ends as a table.
        if (!m_kept.fontTable.isEmpty())
            m_fontTable.markRenumbered();
        return;
    case Destination::ColorTable: m_colorTable.start(); return;
    default:
        return;
    }
}

void Reader::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\': case '{': case '}':
        // Literal bytes: in Shift_JIS a trail byte may be a brace or backslash.
        textBytes(std::string_view(&symbol, 1));
        return;
    case '~': case '-': case '_':
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return;
        }
        // Also in a field instruction: a link's target may hold a non-breaking space.
        appendChar(symbol == '~' ? 0x00A0 : symbol == '-' ? 0x00AD : 0x2011);
        return;
    default:
        return;
    }
}

void Reader::textBytes(std::string_view bytes)
{
    if (m_fallbackToSkip > 0) {
        const auto n = std::min<std::size_t>(std::size_t(m_fallbackToSkip), bytes.size());
        bytes.remove_prefix(n);
        m_fallbackToSkip -= int(n);
        if (bytes.empty())
            return;
    }
    switch (top().destination) {
    case Destination::Body:
        m_highSurrogate = 0;
        if (top().chars.hidden) {
            m_hiddenBytes.append(bytes);
            ++m_hiddenRead;
            return;
        }
        // Producers indent their words with blanks; those do not start a paragraph.
        if (bytes.find_first_not_of(" \t") != std::string_view::npos)
            stopCapture();
        m_bytes.append(bytes);
        m_paragraphEmpty = false;
        return;
    case Destination::FontTable:
        m_fontTable.text(bytes, fontTableCodePage());
        m_scriptWordsNoted.clear();
        return;
    case Destination::ColorTable:
        m_colorTable.text(bytes);
        return;
    case Destination::Picture:
        m_picture.hexText(bytes);
        return;
    case Destination::FieldInstruction:
        m_fields.text(bytes);
        return;
    case Destination::ShapePropertyName:
        if (m_shapePropertyName.size() < 64)
            m_shapePropertyName += QLatin1StringView(bytes.data(), qsizetype(std::min<std::size_t>(bytes.size(), 64))).trimmed();
        return;
    default:
        return;
    }
}

void Reader::hexByte(std::uint8_t byte)
{
    if (m_fallbackToSkip > 0) {
        --m_fallbackToSkip;
        return;
    }
    switch (top().destination) {
    case Destination::Body:
        m_highSurrogate = 0;
        if (top().chars.hidden) {
            m_hiddenBytes.push_back(char(byte));
            ++m_hiddenRead;
            return;
        }
        stopCapture();
        m_bytes.push_back(char(byte));
        m_paragraphEmpty = false;
        return;
    case Destination::FontTable:
        m_fontTable.byte(char(byte));
        m_scriptWordsNoted.clear();
        return;
    case Destination::FieldInstruction:
        m_fields.byte(char(byte));
        return;
    default:
        return;
    }
}

void Reader::unicodeChar(int value)
{
    if (value < 0)
        value += 65536;
    if (value < 0 || value > 0x10FFFF)
        return;
    if (value >= 0xD800 && value < 0xDC00) {
        m_highSurrogate = char16_t(value);
        return;
    }
    if (value >= 0xDC00 && value < 0xE000) {
        if (m_highSurrogate) {
            const char32_t c = 0x10000 + ((char32_t(m_highSurrogate) - 0xD800) << 10) + (char32_t(value) - 0xDC00);
            m_highSurrogate = 0;
            appendChar(c);
        }
        return;
    }
    appendChar(char32_t(value));
}

void Reader::appendChar(char32_t c)
{
    m_highSurrogate = 0;
    if (isDroppedCharacter(c))
        return;
    QString *target = nullptr;
    switch (top().destination) {
    case Destination::Body:
        if (top().chars.hidden) {
            if (!m_hiddenBytes.empty()) {
                bodyCodePage().decode(m_hiddenBytes, m_hiddenText);
                m_hiddenBytes.clear();
            }
            target = &m_hiddenText;
            ++m_hiddenRead;
            break;
        }
        stopCapture();
        flushBytes();
        target = &m_text;
        m_paragraphEmpty = false;
        break;
    case Destination::FieldInstruction:
        target = m_fields.instruction();
        if (!target)
            return;
        break;
    case Destination::FontTable:
        target = m_fontTable.name(fontTableCodePage());
        m_scriptWordsNoted.clear();
        if (!target)
            return;
        break;
    default:
        return;
    }
    if (c > 0xFFFF) {
        target->append(QChar::highSurrogate(c));
        target->append(QChar::lowSurrogate(c));
    } else {
        target->append(QChar(char16_t(c)));
    }
}

void Reader::decodeBytes()
{
    if (m_fontTable.waiting() && top().destination == Destination::FontTable) {
        m_fontTable.flush(fontTableCodePage());
        m_scriptWordsNoted.clear();
    }
    if (m_bytes.empty())
        return;
    if (top().destination == Destination::Body) {
        if (top().wrapId)
            noteFontNamed(top().chars.font >= 0 ? top().chars.font : m_fontTable.defaultFont());
        const qsizetype before = m_text.size();
        bodyCodePage().decode(m_bytes, m_text);
        // Bytes the code page has no character for still stood as text: a group holding them
        // showed something, and kept whole, they would show in another font's code page.
        if (m_text.size() == before)
            ++m_emitted;
    }
    m_bytes.clear();
}

void Reader::sendText()
{
    m_sink.text(m_text, emittedStyle());
    m_text.resize(0);
}

void Reader::endCell(int depth)
{
    ParagraphStyle style = endingParagraphStyle();
    style.tableDepth = depth;
    takeParagraphKept(style);
    m_sink.cellEnd(style, depth);
    m_paragraphEmpty = true;
    m_pardSinceParagraph = false;
}

void Reader::endRow(int depth)
{
    flushAll();
    m_highSurrogate = 0;
    ++m_emitted;
    endWraps();
    // Text since the last \cell ends as a paragraph: what waited for the paragraph goes with
    // it, as at a \par, or it would wait for the next one only on this reading.
    ParagraphStyle style;
    style.keptAtEnd = m_pendingKept;
    style.sectionStart = m_sectionWords;
    if (m_pageBreakPending)
        style.pageBreakWord = style.pageBreakBefore = true;
    if (m_sink.rowEnd(m_rows.row(depth), depth, style)) {
        m_pendingKept.clear();
        m_sectionWords.clear();
        m_pageBreakPending = false;
    }
    m_paragraphEmpty = true;
    m_pardSinceParagraph = false;
}

// \itap says the depth; without it \intbl means the outermost table.
int Reader::tableDepthOf(const ParaState &para)
{
    return heldTableDepth(para.tableDepth >= 0 ? para.tableDepth : para.inTable ? 1 : 0);
}

// A \page waiting for the next paragraph starts that paragraph on a new page.
void Reader::takePageBreak(ParagraphStyle &style)
{
    if (std::exchange(m_pageBreakPending, false)) {
        style.pageBreakWord = true;
        style.pageBreakBefore = true;
        style.pageBreakAfterText = m_pageBreakAfterText && style.tableDepth == 0;
    }
}

int Reader::paragraphTableDepth() const
{
    return tableDepthOf(top().para);
}

// What waited for the paragraph now ending: groups after its last run, the section words
// before it, a page break before it, the \sect that ends it.
void Reader::takeParagraphKept(ParagraphStyle &style)
{
    ++m_emitted;
    endWraps();
    stopCapture();
    style.keptAtEnd = std::exchange(m_pendingKept, QByteArray());
    style.sectionStart = std::exchange(m_sectionWords, QByteArray());
    takePageBreak(style);
    // A section ends in the body; inside a table the \sect only ends the paragraph.
    style.sectionEnd = std::exchange(m_sectionEndPending, false) && style.tableDepth == 0;
}

// An object or shape goes back whole only within one paragraph: one that holds a
// paragraph's end is read as text, and what it showed is saved as shown.
void Reader::endWraps()
{
    if (m_wrapsOpen == 0)
        return;
    for (Group &group : m_stack) {
        if (group.wrapOwner)
            m_sink.wrapped(group.wrapId, QByteArray(), TextStyle());
        group.wrapId = 0;
        group.wrapOwner = false;
    }
    m_wrapsOpen = 0;
}

// The paragraph that ends here, with its text given: an empty one keeps the character style
// its mark is in, at the end of a cell as at \par.
ParagraphStyle Reader::endingParagraphStyle()
{
    flushAll();
    m_highSurrogate = 0;
    ParagraphStyle style = paragraphStyleOf(top());
    if (m_paragraphEmpty)
        style.markCharacterStyle = top().chars.characterStyle;
    return style;
}

void Reader::endParagraph()
{
    ParagraphStyle style = endingParagraphStyle();
    takeParagraphKept(style);
    m_sink.paragraphEnd(style);
    m_paragraphEmpty = true;
    m_pardSinceParagraph = false;
}

// The table kept is saved at the top, under the header's code page: its names are read
// in that one, whatever code page the text had changed to before it.
int Reader::fontTableCodePage() const
{
    return m_codePageSettled && m_kept.fontTable.isEmpty() ? m_kept.codePage : m_documentCodePage;
}

CodePage &Reader::bodyCodePage()
{
    const CharState &chars = top().chars;
    return m_fontTable.codePageFor(chars.font >= 0 ? chars.font : m_fontTable.defaultFont(), m_documentCodePage);
}

TextStyle Reader::currentTextStyle() const
{
    const CharState &chars = top().chars;
    TextStyle style;
    // Readers show text that names no font, in a file that names no default, in their own.
    if (const FontTableReader::Font *font = m_fontTable.find(chars.font >= 0 ? chars.font : m_fontTable.shownDefault()))
        style.family = font->name;
    if (!m_symbolFamily.isEmpty())
        style.family = m_symbolFamily;
    style.halfPoints = chars.halfPoints;
    if (chars.foreground > 0)
        style.foreground = m_colorTable.at(chars.foreground);
    if (chars.background > 0)
        style.background = m_colorTable.at(chars.background);
    style.bold = chars.bold;
    style.italic = chars.italic;
    style.underline = chars.underline;
    style.underlineKind = chars.underlineKind;
    style.strike = chars.strike;
    style.position = chars.position;
    style.language = chars.language;
    style.characterStyle = chars.characterStyle;
    style.raise = chars.raise;
    // The words name fonts by the file's numbers, which only its own table, kept, keeps.
    // What an object or shape shows goes back inside it, its words with it.
    if (const QByteArrayView words = scriptWordsOf(chars); chars.scripted && words.size() <= MaxScriptWords
        && !m_kept.fontTable.isEmpty() && !m_fontTable.renumbered() && !top().wrapId)
        style.scriptWords = words.toByteArray();
    style.groupShading = top().para.style.shadingWords;
    style.noteId = m_markNote;
    style.wrapId = top().wrapId;
    if (top().fieldId) {
        style.fieldId = top().fieldId;
        style.fieldInstruction = m_fields.kept(top().fieldId);
        style.fieldSymbol = m_fields.isSymbol(top().fieldId);
    }
    if (top().link >= 0)
        style.link = m_fields.link(top().link);
    return style;
}

ParagraphStyle Reader::paragraphStyleOf(const Group &group) const
{
    const ParaState &para = group.para;
    ParagraphStyle style = para.style;
    style.listOverride = para.listOverride;
    style.listOverrideLevel = para.listLevel;
    if (m_listTable.namesList(para.listOverride)) {
        style.list = m_listTable.kindOf(para.listOverride, para.listLevel);
        style.listLevel = para.listLevel;
    } else if (para.pnKind != ListKind::None) {
        style.list = para.pnKind;
        style.listLevel = para.pnLevel;
    }
    if (style.list == ListKind::None)
        style.listLevel = 0;
    style.tableDepth = tableDepthOf(para);
    return style;
}

} // namespace rtf
