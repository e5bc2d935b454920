#pragma once

#include <QFont>
#include <QStringList>
#include <QTextFormat>

namespace rtf {

// What the reader keeps of a file beyond what the editing area shows, as properties of the
// text it belongs to, so that it moves, copies and goes with that text and the writer puts
// it back where it was. Raw values are RTF exactly as it stood in the file.
enum KeptProperty {
    // On characters (QTextCharFormat).
    KeptBefore = QTextFormat::UserProperty + 0x5300, // QByteArray: groups that stood before this run
    KeptBeforeId,            // int: one per kept place, so a run split in two writes it once
    NoteGroup,               // QByteArray: the \footnote group of a note reference; the run is its mark
    NoteId,                  // int: one per note, so neighbouring marks stay apart
    FieldInstruction,        // QByteArray: the {\*\fldinst ...} group of a field whose result this is
    FieldId,                 // int: one per field, so neighbouring fields stay apart
    WrappedGroup,            // QByteArray: a group (\object) written in place of this run's content
    WrappedId,               // int: one per wrapped group
    WrappedOpenedIn,         // QTextFormat: the character format that group was opened in
    Language,                // int: \lang
    CharacterStyle,          // int: \cs
    RaiseHalfPoints,         // int: \up (positive) or \dn (negative), in half points
    UnderlineWord,           // int: the kind of underline, in underlineKinds, when not a plain \ul
    ScriptWords,             // QByteArray: the run's font, size, weight and language words since \plain,
                             // as written, when some format another script (\rtlch\f1, \dbch\af2)
    GroupShadingWords,       // QByteArray: paragraph shading words given in the run's own group, which
                             // ended before the paragraph did (LibreOffice shades the paragraph)
    ScriptWordsLook,         // QString: characterLook() of the run when read: changed, the words no longer hold
    FieldSymbol,             // bool: the field is a SYMBOL field, read as the character its instruction names

    // On paragraphs (QTextBlockFormat).
    ParagraphStyleNumber = QTextFormat::UserProperty + 0x5340, // int: \s
    TabWords,                // QByteArray: the paragraph's tab stops as written (\tqr\tldot\tx...)
    BorderWords,             // QByteArray: the paragraph's borders as written (\brdrt\brdrs...)
    ShadingWords,            // QByteArray: the paragraph's shading as written (\shading\cbpat...)
    KeptAtEnd,               // QByteArray: groups that stood after the paragraph's last run
    SectionEnd,              // bool: the paragraph ends a section (\sect, not \par)
    SectionStart,            // QByteArray: section words and groups before this paragraph
    ListOverrideNumber,      // int: the file's \ls, valid with the file's own list tables
    ListLevelNumber,         // int: the file's \ilvl
    StyleCharacterWords,     // int: StyleSets bits, what the paragraph's style sets of its characters
    ListLeftIndent,          // int: twips, the file's \li of a list paragraph
    ListFirstIndent,         // int: twips, the file's \fi of a list paragraph
    RightIndentWord,         // bool: a list paragraph gave its right indent, even 0
    PageBreakWord,           // bool: the page break before the paragraph was a \page, not \pagebb
    StyleParagraphWords,     // QByteArray: "\ql \sb240 ...", the alignment, indents and spacing a styled paragraph has from its style
    StatedDefaults,          // int: GivenWord bits, what an unstyled paragraph stated though it is the default (\ql, \sa0)
    FrameWords,              // QByteArray: the frame the paragraph is set in, as written (\phpg\posx2160\absw4320...)
    StartsPage,              // bool: the paragraph starts a page (\page, \pagebb); see rtf::startsPage
    PageBreakAfterText,      // bool: the \page before the paragraph ended the one before it, after its text
    HeldBeforeTable,         // bool: not the file's: the empty paragraph Qt keeps before a table the text starts with
    MarkCharacterStyle,      // int: the \cs in force at the end of an empty paragraph, which other readers show

    // On the document's root frame (QTextFrameFormat).
    DocumentHeader = QTextFormat::UserProperty + 0x5380, // QByteArray: \ansi\ansicpgN\deffN...
    FontTableEntries,        // QByteArray: the file's font table entries, each {\fN...;} as written
    FontTableNames,          // QStringList: "N=family" for each entry, to find a typeface's number
    ColorTableEntries,       // QByteArray: the file's colour table as written, without its braces
    ColorTableColors,        // QVariantList: QColor per entry; an invalid one is "automatic"
    StyleSheetGroup,         // QByteArray: the {\stylesheet ...} group
    ListTableGroup,          // QByteArray: the {\*\listtable ...} group
    ListOverrideTableGroup,  // QByteArray: the {\*\listoverridetable ...} group
    DocumentPrologue,        // QByteArray: document and first-section words and groups, in order
    HighestFontNumber,       // int: the highest font number kept words name; new entries go above it
    LaterFontNames,          // QStringList: "N=codepage=family" for fonts kept words name by a number a
                             // table not kept gave them, which the saved table must give them too

    // On table cells (QTextTableCellFormat, held in the cell's first block's char format).
    // QList<int>: the table's columns and the cell's column span when read, the row's \trleft,
    // then the \cellx of each of the file's cells that make this one. Other readers lay rows on
    // the edges the file gave, which the editing area's shared columns cannot all show.
    KeptCellEdges = QTextFormat::UserProperty + 0x53c0,
};

// What of a run the words kept in ScriptWords decide: its typeface, size, weight, slant and
// language as shown.
inline QString characterLook(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? format.stringProperty(QTextFormat::FontFamily) : families.first();
    const int halfPoints = format.hasProperty(QTextFormat::FontPointSize) ? qRound(format.fontPointSize() * 2) : 0;
    const bool bold = format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold;
    const bool italic = format.fontItalic();
    const int language = format.hasProperty(Language) ? format.intProperty(Language) : -1;
    // Looks are compared with those kept in documents read before, which chained arg() made:
    // it takes a % in the family for a place of the values after it. Other families are
    // joined directly, many times cheaper.
    if (family.contains(u'%'))
        return QStringLiteral("%1|%2|%3|%4|%5").arg(family).arg(halfPoints).arg(bold).arg(italic).arg(language);
    return family + u'|' + QString::number(halfPoints) + u'|' + QChar(bold ? u'1' : u'0') + u'|'
        + QChar(italic ? u'1' : u'0') + u'|' + QString::number(language);
}

// What a paragraph style sets of its characters: a run under it states these even when off.
enum StyleSets { SetsBold = 1, SetsItalic = 2, SetsUnderline = 4, SetsStrike = 8, SetsColor = 16, SetsHidden = 32 };

} // namespace rtf
