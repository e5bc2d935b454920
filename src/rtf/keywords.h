#pragma once

#include <cstdint>
#include <string_view>

namespace rtf {

// The control words the reader acts on. Everything else is ignored in the text, which is
// how RTF stays readable across versions, and kept as written where it describes the
// document or a section.
enum class Keyword : std::uint16_t {
    Unknown,

    // Destinations and groups with content we read.
    FontTable, ColorTable, ListTable, List, ListLevel, ListOverrideTable, ListOverride,
    Pn, Upr, Ud, ShapeInstance, TextContainer, Picture, FieldInstruction, StyleSheet,
    ShapeProperty, ShapePropertyName, ShapePropertyValue, NestTableProperties, FieldResult,

    // Document
    Version, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, UnicodeSkip, Unicode,

    // Font and colour tables
    Font, FontCharset, FontCodePage, Red, Green, Blue,

    // Character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, StrikeDouble, FontSize,
    Foreground, Background, Superscript, Subscript, NoSuperSub, Hidden,

    // Paragraph formatting
    Par, Pard, AlignLeft, AlignRight, AlignCenter, AlignJustify,
    LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter,
    ListOverrideIndex, ListLevelIndex, Cell, NestCell, Row, NestRow,
    ParagraphStyleRef, CharacterStyleRef, StyleBasedOn,

    // Tables
    InTable, TableDepth, RowDefaults, RowLeft, CellRight, CellBorder, BorderStyle, BorderNone,
    CellMergeLeft, CellMergeUp,

    // Pictures
    PngBlip, JpegBlip, PictureWidth, PictureHeight, PictureGoalWidth, PictureGoalHeight,
    PictureScaleX, PictureScaleY,

    // Lists
    ListId, LevelFormat, PnBullet, PnBody, PnContinue, PnLevel,
    PnDecimal, PnUpperLetter, PnLowerLetter, PnUpperRoman, PnLowerRoman,

    // Characters
    FootnoteNumber, FootnoteNumbering, EndnoteNumbering, Tab, Line, EmDash, EnDash, Bullet, LeftQuote, RightQuote, LeftDoubleQuote, RightDoubleQuote,
    EmSpace, EnSpace, QuarterEmSpace, ZeroWidthJoiner, ZeroWidthNonJoiner, LtrMark, RtlMark,

    // Kept beside what is shown
    Footnote, Page, PageBreakBefore, Section, LineSpacing, LineMultiple, TabWord,
    Field, FieldWord, WrappedContainer, ParagraphBorder, BorderAttribute, ShadingWord, ShadingColor, FrameWord, Language, Raise, Lower,
    ScriptWord,
};

// What kind of word it is: the reader hands each word to the handler of its kind.
enum class WordKind : std::uint8_t {
    Unknown,       // not ours: kept as written where it describes the document, else ignored
    Flag,          // acts by being there; a parameter is ignored
    Toggle,        // turns something on, or off with a parameter of 0
    Value,         // acts with its parameter, or is kept as written with it
    Symbol,        // stands for one character
    Destination,   // opens a group whose content the reader reads
    Kept,          // a destination kept whole, as written, where it stands in the text
    DocumentLevel, // a destination that describes the whole document, kept whole
    Dropped,       // a destination whose content the writer makes anew, or that lives
                   // inside a table kept whole
    KeptWord,      // a word that stands for something only the file's readers fill in
};

struct KeywordInfo {
    std::string_view name;
    Keyword keyword = Keyword::Unknown;
    WordKind kind = WordKind::Unknown;
    char16_t symbol = 0;        // WordKind::Symbol: the character it stands for
    std::int16_t value = 0;     // Toggle and Value: what the word means without a parameter
    bool readStarred = false;   // still read when marked \* (ignorable)
    bool styleFormat = false;   // a stylesheet entry passes it on to the text that names it
    bool scriptBound = false;   // means what the script words before it say: kept in order with them
    std::uint8_t gives = 0;     // the GivenWord bit of a paragraph word

    // The value of a Toggle or Value word as written.
    int valueOf(bool hasParameter, int parameter) const { return hasParameter ? parameter : value; }
};

const KeywordInfo &lookupKeyword(std::string_view name);

} // namespace rtf
