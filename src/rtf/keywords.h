#pragma once

#include <cstdint>
#include <string_view>

namespace rtf {

// The control words the reader acts on. Everything else is ignored, which is how RTF
// stays readable across versions.
enum class Keyword : std::uint16_t {
    Unknown,

    // Destinations whose content is never body text.
    SkippedDestination,
    // Destinations and groups with content we read.
    FontTable, ColorTable, ListTable, List, ListLevel, ListOverrideTable, ListOverride,
    Pn, Upr, Ud, ShapeInstance, TextContainer, Picture, FieldInstruction, StyleSheet,
    ShapeProperty, ShapePropertyName, ShapePropertyValue, NestTableProperties, FieldResult,

    // Document
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, UnicodeSkip, Unicode,

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
};

Keyword lookupKeyword(std::string_view name);

} // namespace rtf
