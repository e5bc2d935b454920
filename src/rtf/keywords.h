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
    Field, WrappedContainer, ParagraphBorder, BorderAttribute, ShadingWord, ShadingColor, FrameWord, Language, Raise, Lower,
    ScriptWord,
};

// How the reader treats a word before looking at what it is.
enum class WordKind : std::uint8_t {
    Word,          // acts on the state, or opens a destination the reader reads
    Symbol,        // stands for one character
    Kept,          // a destination kept whole, as written, where it stands in the text
    DocumentLevel, // a destination that describes the whole document, kept whole
    Dropped,       // a destination whose content the writer makes anew, or that lives
                   // inside a table kept whole
    KeptWord,      // a word that stands for something only the file's readers fill in
};

struct KeywordInfo {
    std::string_view name;
    Keyword keyword = Keyword::Unknown;
    WordKind kind = WordKind::Word;
    char16_t symbol = 0;       // for WordKind::Symbol
    bool readStarred = false;  // still read when marked \* (ignorable)
};

const KeywordInfo &lookupKeyword(std::string_view name);

} // namespace rtf
