#pragma once

#include <QByteArray>
#include <QColor>
#include <QTextCharFormat>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace rtf {

enum class VerticalPosition : std::uint8_t { Normal, Super, Sub };

enum class ListKind : std::uint8_t { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

enum class Alignment : std::uint8_t { Left, Right, Center, Justify };

// Character formatting as the reader resolved it: font numbers and colour indexes are
// already looked up, so a sink never needs the document's tables.
struct TextStyle {
    QString family;          // empty: the document's default font
    int halfPoints = 0;      // 0: the default size
    QColor foreground;       // invalid: automatic colour
    QColor background;       // invalid: none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int underlineKind = 0;   // in underlineKinds: dotted, double, wave...
    bool strike = false;
    VerticalPosition position = VerticalPosition::Normal;
    QString link;            // a HYPERLINK field's target; empty: not a link
    int language = -1;       // \lang; -1: the document's
    int characterStyle = -1; // \cs; -1: none
    int raise = 0;           // half points up (\up) or down (\dn, negative)
    QByteArray scriptWords;  // font, size, weight and language words as written, where some
                             // format another script; empty: the fields above say it all
    int noteId = 0;          // a note reference's mark; its note follows through Sink::note
    QByteArray note;         // the note's group, once it is known
    QByteArray keptBefore;   // groups kept as written that stand before this run
    int keptId = 0;
    int fieldId = 0;         // the run is a field's result (not a link's)
    QByteArray fieldInstruction; // that field's {\\*\\fldinst ...} as written
    bool fieldSymbol = false; // that field is a SYMBOL field, whose character stands for its result
    int wrapId = 0;          // the run is what an object or shape shows
    QByteArray wrapped;      // that group as written, once it is known
    QByteArray groupShading; // paragraph shading words in force in the run's group; kept where
                             // they are not the paragraph's, as a group ended them before \\par
    QTextCharFormat wrapOpenedIn; // the formatting that group was opened in, which its own
                                  // words change for what it shows

    bool operator==(const TextStyle &) const = default;
};

// Which of its alignment, indents and spacing a paragraph states itself.
enum GivenWord { GivesAlignment = 1, GivesLeft = 2, GivesFirst = 4, GivesRight = 8, GivesBefore = 16, GivesAfter = 32,
                 GivesLineSpacing = 64,
                 GivesLeftByLi = 128 }; // \li, not only \lin: LibreOffice takes it for \fi0 too

// Lengths are in twips, as in the file.
struct ParagraphStyle {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    bool rightIndentGiven = false; // \ri or \rin, even 0
    int givenWords = 0;      // GivenWord bits: what the paragraph states itself, not from its style
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    ListKind list = ListKind::None;
    int listLevel = 0;       // 0..8
    int tableDepth = 0;      // 0: body text; 1: a table cell; 2 and more: nested tables
    int listOverride = -1;   // the file's \ls and \ilvl, for its own list tables; -1: none
    int listOverrideLevel = 0;
    int styleNumber = -1;    // \s; -1: none
    int styleSets = 0;       // StyleSets bits: what that style sets of the characters
    int lineSpacing = 0;     // \sl: positive at least, negative exactly; 0 automatic
    bool lineMultiple = false; // \slmult1: lineSpacing is in 240ths of a line
    bool pageBreakBefore = false;
    bool pageBreakWord = false; // that break was a \page between paragraphs
    bool pageBreakAfterText = false; // that \page ended the paragraph before, after its text
    int markCharacterStyle = -1; // an empty paragraph's: the \cs at its end
    bool sectionEnd = false; // ended by \sect
    QColor shading;          // \cbpat
    QByteArray tabs;         // the words as written, for the ones the screen cannot show
    QByteArray borders;
    QByteArray shadingWords;
    QByteArray frameWords;   // \posx\absw...: set in a frame
    QByteArray sectionStart; // section words and groups before the paragraph
    QByteArray keptAtEnd;    // groups kept as written after the paragraph's last run

    bool operator==(const ParagraphStyle &) const = default;
};

// What a file holds for the whole document, kept as written so that saving writes it back
// and what is kept in the text still points at the right fonts, colours, styles and lists.
struct KeptDocument {
    int codePage = 1252;
    int defaultFont = 0;     // \deff; -1: not given
    int highestFontNumber = -1; // the highest \f or \af kept words name, in the table or not
    struct LaterFont {
        int number = 0;
        int codePage = 0;        // 0: the document's
        QString family;
    };
    std::vector<LaterFont> laterFonts; // fonts kept words name that the kept table lacks or gives
                                       // otherwise, as a later table gave them
    QByteArray fontTable;    // each group kept whole, braces included
    std::vector<std::pair<int, QString>> fonts; // number and typeface of each entry
    QByteArray colorTable;
    std::vector<QColor> colors; // invalid: automatic
    QByteArray styleSheet;
    QByteArray listTable;
    QByteArray listOverrideTable;
    QByteArray prologue;     // document and first section words and groups, in order
};

// Word's own limit; cells past it in a row share the last column, so no text is lost.
constexpr int MaxTableColumns = 63;

// Marks on a cell that continues a merged cell: \clmrg joins it to the cell before it in
// the row, \clvmrg to the cell above it. Cells that start a merge need no mark, since a
// merge grows from whatever cell its continuations follow.
enum CellMerge : std::uint8_t { MergeLeft = 1, MergeUp = 2 };

// The columns of one table row: each cell's right edge, from \cellx.
struct RowFormat {
    int left = 0;            // \trleft: where the first cell starts
    std::vector<int> cellRight;
    std::vector<std::uint8_t> merges; // CellMerge flags, one per entry of cellRight
    bool borders = false;
};

// One \pict. Pictures Qt cannot draw keep their control words and data as they were,
// so that saving writes them back untouched.
struct Picture {
    enum class Kind : std::uint8_t { Png, Jpeg, Other };
    Kind kind = Kind::Other;
    QByteArray data;         // decoded from hex or taken from \bin
    QByteArray words;        // the group's control words as written, e.g. \wmetafile8\picw100
    int picw = 0, pich = 0;  // pixels for bitmaps, hundredths of a millimetre for metafiles
    int goalWidth = 0, goalHeight = 0; // twips; 0: not given
    int scaleX = 100, scaleY = 100;    // per cent
    QByteArray properties;   // its {\\*\\picprop ...} group as written: readers make a shape of it
};

// Receives the body of a document in reading order. Text arrives in runs of one style;
// a paragraph's style is known only at its end, as in RTF itself.
class Sink
{
public:
    virtual ~Sink() = default;
    // The style is the sink's to keep: a run's style is made for it alone.
    virtual void text(QStringView text, TextStyle &&style) = 0;
    virtual void paragraphEnd(const ParagraphStyle &style) = 0;
    // Closes the last paragraph, which has no \par of its own. `applyStyle` is false when
    // that paragraph is only the empty remainder after a final \par, whose inherited
    // style (a list item, say) the file never meant for it.
    virtual void documentEnd(const ParagraphStyle &style, bool applyStyle) = 0;
    // Ends the paragraph as the last one of a cell of a table `depth` deep (1: outermost).
    virtual void cellEnd(const ParagraphStyle &style, int depth) = 0;
    // Ends the row of cells ended so far at `depth`. Text since the last cell ends first, as
    // a paragraph in `textStyle`; returns whether there was any.
    virtual bool rowEnd(const RowFormat &row, int depth, const ParagraphStyle &textStyle) = 0;
    virtual void picture(const Picture &picture, const TextStyle &style) = 0;
    // The group (object, shape) whose shown runs were sent with `wrapId`; empty when it is
    // not kept whole after all.
    virtual void wrapped(int wrapId, const QByteArray &group, const TextStyle &openedIn) = 0;
    // The note of the mark sent with `noteId`, as its group stood in the file; `number`,
    // when not empty, replaces the mark's text, numbered as the note says (an endnote).
    virtual void note(int noteId, const QByteArray &group, const QString &number) = 0;
    // Sent once, before documentEnd.
    virtual void document(const KeptDocument &kept) = 0;
};

} // namespace rtf
