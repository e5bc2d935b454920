#include "rtf/keywords.h"

#include <array>
#include <cstring>

namespace rtf {

namespace {

using Entry = KeywordInfo;
using K = Keyword;
using Kind = WordKind;

constexpr Entry entries[] = {
    // Destinations that hold no body text. Most are also marked \* by their producers,
    // but enough old writers omit the star that we name them.
    {"info", K::Unknown, Kind::DocumentLevel},
    {"header", K::Unknown, Kind::Kept}, {"headerl", K::Unknown, Kind::Kept},
    {"headerr", K::Unknown, Kind::Kept}, {"headerf", K::Unknown, Kind::Kept},
    {"footer", K::Unknown, Kind::Kept}, {"footerl", K::Unknown, Kind::Kept},
    {"footerr", K::Unknown, Kind::Kept}, {"footerf", K::Unknown, Kind::Kept},
    {"footnote", K::Footnote, Kind::Kept}, {"annotation", K::Unknown, Kind::Kept},
    {"atnid", K::Unknown, Kind::Kept}, {"atnauthor", K::Unknown, Kind::Kept},
    {"atndate", K::Unknown, Kind::Kept}, {"atnref", K::Unknown, Kind::Kept},
    {"atntime", K::Unknown, Kind::Kept}, {"atnicn", K::Unknown, Kind::Kept},
    {"objdata", K::Unknown, Kind::Dropped},
    {"objclass", K::Unknown, Kind::Dropped}, {"objname", K::Unknown, Kind::Dropped},
    {"objalias", K::Unknown, Kind::Dropped}, {"objsect", K::Unknown, Kind::Dropped},
    {"objtime", K::Unknown, Kind::Dropped}, {"themedata", K::Unknown, Kind::DocumentLevel},
    {"colorschememapping", K::Unknown, Kind::DocumentLevel}, {"datastore", K::Unknown, Kind::DocumentLevel},
    {"xmlnstbl", K::Unknown, Kind::DocumentLevel}, {"latentstyles", K::Unknown, Kind::DocumentLevel},
    {"revtbl", K::Unknown, Kind::DocumentLevel}, {"rsidtbl", K::Unknown, Kind::DocumentLevel},
    {"generator", K::Unknown, Kind::DocumentLevel},
    {"xe", K::Unknown, Kind::Kept}, {"tc", K::Unknown, Kind::Kept},
    {"txe", K::Unknown, Kind::Kept}, {"rxe", K::Unknown, Kind::Kept},
    {"bkmkstart", K::Unknown, Kind::Kept}, {"bkmkend", K::Unknown, Kind::Kept},
    {"pntxta", K::Unknown, Kind::Dropped}, {"pntxtb", K::Unknown, Kind::Dropped},
    {"pntext", K::Unknown, Kind::Dropped}, {"listtext", K::Unknown, Kind::Dropped},
    {"leveltext", K::Unknown, Kind::Dropped}, {"levelnumbers", K::Unknown, Kind::Dropped},
    {"listname", K::Unknown, Kind::Dropped}, {"filetbl", K::Unknown, Kind::DocumentLevel},
    {"template", K::Unknown, Kind::DocumentLevel}, {"nonshppict", K::Unknown, Kind::Dropped},
    {"do", K::Unknown, Kind::Kept},
    {"shprslt", K::Unknown, Kind::Dropped}, {"nonesttables", K::Unknown, Kind::Dropped},
    {"ftnsep", K::Unknown, Kind::DocumentLevel}, {"ftnsepc", K::Unknown, Kind::DocumentLevel},
    {"ftncn", K::Unknown, Kind::DocumentLevel}, {"aftnsep", K::Unknown, Kind::DocumentLevel},
    {"aftnsepc", K::Unknown, Kind::DocumentLevel}, {"aftncn", K::Unknown, Kind::DocumentLevel},
    {"userprops", K::Unknown, Kind::DocumentLevel}, {"docvar", K::Unknown, Kind::DocumentLevel},
    {"falt", K::Unknown, Kind::Dropped}, {"panose", K::Unknown, Kind::Dropped},
    {"fname", K::Unknown, Kind::Dropped}, {"fontemb", K::Unknown, Kind::Dropped},
    {"fontfile", K::Unknown, Kind::Dropped}, {"author", K::Unknown, Kind::DocumentLevel},
    {"operator", K::Unknown, Kind::DocumentLevel}, {"title", K::Unknown, Kind::DocumentLevel},
    {"subject", K::Unknown, Kind::DocumentLevel}, {"keywords", K::Unknown, Kind::DocumentLevel},
    {"comment", K::Unknown, Kind::DocumentLevel}, {"doccomm", K::Unknown, Kind::DocumentLevel},
    {"company", K::Unknown, Kind::DocumentLevel}, {"manager", K::Unknown, Kind::DocumentLevel},
    {"category", K::Unknown, Kind::DocumentLevel}, {"hlinkbase", K::Unknown, Kind::DocumentLevel},
    {"buptim", K::Unknown, Kind::DocumentLevel}, {"creatim", K::Unknown, Kind::DocumentLevel},
    {"revtim", K::Unknown, Kind::DocumentLevel}, {"printim", K::Unknown, Kind::DocumentLevel},
    {"mmathPr", K::Unknown, Kind::DocumentLevel}, {"pgdsctbl", K::Unknown, Kind::DocumentLevel},
    {"protusertbl", K::Unknown, Kind::DocumentLevel}, {"listpicture", K::Unknown, Kind::DocumentLevel},
    {"blipuid", K::Unknown, Kind::Dropped}, {"picprop", K::Unknown, Kind::Dropped},
    {"defchp", K::Unknown, Kind::DocumentLevel}, {"defpap", K::Unknown, Kind::DocumentLevel},
    {"wgrffmtfilter", K::Unknown, Kind::DocumentLevel}, {"passwordhash", K::Unknown, Kind::DocumentLevel},
    {"background", K::Unknown, Kind::DocumentLevel}, {"formfield", K::Unknown, Kind::Kept},
    {"datafield", K::Unknown, Kind::Kept}, {"macc", K::Unknown, Kind::Kept},
    {"pxe", K::Unknown, Kind::Kept}, {"private", K::Unknown, Kind::Kept},

    {"fonttbl", K::FontTable}, {"colortbl", K::ColorTable},
    {"listtable", K::ListTable, Kind::Word, 0, true}, {"list", K::List}, {"listlevel", K::ListLevel},
    {"listoverridetable", K::ListOverrideTable, Kind::Word, 0, true}, {"listoverride", K::ListOverride},
    {"pn", K::Pn, Kind::Word, 0, true}, {"upr", K::Upr}, {"ud", K::Ud, Kind::Word, 0, true}, {"shpinst", K::ShapeInstance, Kind::Word, 0, true},
    // Groups whose text is body text: field results, object results, text boxes.
    {"field", K::Field, Kind::Word, 0, true}, {"fldrslt", K::FieldResult, Kind::Word, 0, true}, {"result", K::TextContainer, Kind::Word, 0, true},
    {"object", K::WrappedContainer, Kind::Word, 0, true}, {"shp", K::WrappedContainer, Kind::Word, 0, true},
    // A text box floats beside the body rather than in it; readers that show text in
    // order (LibreOffice's text export among them) leave it out, and so do we.
    {"shptxt", K::Unknown, Kind::Dropped},
    // Of a picture's two forms, the one for shape-aware readers (\nonshppict is skipped).
    {"shppict", K::TextContainer, Kind::Word, 0, true},
    // Holds nested table row properties, but some producers put the cells' text in it too.
    {"nesttableprops", K::NestTableProperties, Kind::Word, 0, true},
    {"pict", K::Picture}, {"fldinst", K::FieldInstruction, Kind::Word, 0, true}, {"stylesheet", K::StyleSheet},
    // Shape properties: only a picture shape's picture (pib) is read.
    {"sp", K::ShapeProperty, Kind::Word, 0, true}, {"sn", K::ShapePropertyName}, {"sv", K::ShapePropertyValue},

    {"rtf", K::Version}, {"ansi", K::Ansi}, {"mac", K::Mac}, {"pc", K::Pc}, {"pca", K::Pca},
    {"ansicpg", K::AnsiCodePage}, {"deff", K::DefaultFont}, {"uc", K::UnicodeSkip},
    {"u", K::Unicode},

    {"f", K::Font}, {"fcharset", K::FontCharset}, {"cpg", K::FontCodePage},
    {"red", K::Red}, {"green", K::Green}, {"blue", K::Blue},

    {"plain", K::Plain}, {"b", K::Bold}, {"i", K::Italic},
    {"ul", K::Underline}, {"uld", K::Underline}, {"uldb", K::Underline},
    {"ulw", K::Underline}, {"ulwave", K::Underline}, {"uldash", K::Underline},
    {"uldashd", K::Underline}, {"uldashdd", K::Underline}, {"ulth", K::Underline},
    {"ulhwave", K::Underline}, {"ululdbwave", K::Underline}, {"ulthd", K::Underline},
    {"ulthdash", K::Underline}, {"ulldash", K::Underline}, {"ulthldash", K::Underline},
    {"ulthdashd", K::Underline}, {"ulthdashdd", K::Underline},
    {"ulnone", K::UnderlineNone}, {"strike", K::Strike}, {"striked", K::StrikeDouble},
    {"fs", K::FontSize}, {"cf", K::Foreground}, {"cb", K::Background},
    {"highlight", K::Background}, {"chcbpat", K::Background},
    {"super", K::Superscript}, {"sub", K::Subscript}, {"nosupersub", K::NoSuperSub},
    {"v", K::Hidden},

    {"par", K::Par}, {"sect", K::Section}, {"page", K::Page}, {"column", K::Par},
    {"pard", K::Pard}, {"ql", K::AlignLeft}, {"qr", K::AlignRight},
    {"qc", K::AlignCenter}, {"qj", K::AlignJustify}, {"qd", K::AlignJustify},
    {"li", K::LeftIndent}, {"lin", K::LeftIndent}, {"ri", K::RightIndent},
    {"rin", K::RightIndent}, {"fi", K::FirstIndent}, {"sb", K::SpaceBefore},
    {"sa", K::SpaceAfter}, {"ls", K::ListOverrideIndex}, {"ilvl", K::ListLevelIndex},
    {"cell", K::Cell}, {"nestcell", K::NestCell}, {"row", K::Row}, {"nestrow", K::NestRow},
    {"s", K::ParagraphStyleRef}, {"cs", K::CharacterStyleRef, Kind::Word, 0, true}, {"sbasedon", K::StyleBasedOn},

    {"intbl", K::InTable}, {"itap", K::TableDepth}, {"trowd", K::RowDefaults}, {"trleft", K::RowLeft},
    {"cellx", K::CellRight}, {"clmrg", K::CellMergeLeft}, {"clvmrg", K::CellMergeUp},
    {"clbrdrt", K::CellBorder}, {"clbrdrl", K::CellBorder}, {"clbrdrb", K::CellBorder},
    {"clbrdrr", K::CellBorder}, {"trbrdrt", K::CellBorder}, {"trbrdrl", K::CellBorder},
    {"trbrdrb", K::CellBorder}, {"trbrdrr", K::CellBorder}, {"trbrdrh", K::CellBorder},
    {"trbrdrv", K::CellBorder},
    {"brdrs", K::BorderStyle}, {"brdrth", K::BorderStyle}, {"brdrsh", K::BorderStyle},
    {"brdrdb", K::BorderStyle}, {"brdrdot", K::BorderStyle}, {"brdrdash", K::BorderStyle},
    {"brdrhair", K::BorderStyle}, {"brdrtriple", K::BorderStyle}, {"brdrinset", K::BorderStyle},
    {"brdroutset", K::BorderStyle}, {"brdrengrave", K::BorderStyle}, {"brdremboss", K::BorderStyle},
    {"brdrnone", K::BorderNone}, {"brdrnil", K::BorderNone}, {"brdrtbl", K::BorderNone},

    {"pngblip", K::PngBlip}, {"jpegblip", K::JpegBlip}, {"picw", K::PictureWidth},
    {"pich", K::PictureHeight}, {"picwgoal", K::PictureGoalWidth}, {"pichgoal", K::PictureGoalHeight},
    {"picscalex", K::PictureScaleX}, {"picscaley", K::PictureScaleY},

    {"listid", K::ListId}, {"levelnfc", K::LevelFormat}, {"levelnfcn", K::LevelFormat},
    {"pnlvlblt", K::PnBullet}, {"pnlvlbody", K::PnBody}, {"pnlvlcont", K::PnContinue},
    {"pnlvl", K::PnLevel}, {"pndec", K::PnDecimal}, {"pnucltr", K::PnUpperLetter},
    {"pnlcltr", K::PnLowerLetter}, {"pnucrm", K::PnUpperRoman}, {"pnlcrm", K::PnLowerRoman},

    {"chftn", K::FootnoteNumber},
    {"ftnnar", K::FootnoteNumbering}, {"ftnnalc", K::FootnoteNumbering}, {"ftnnauc", K::FootnoteNumbering},
    {"ftnnrlc", K::FootnoteNumbering}, {"ftnnruc", K::FootnoteNumbering},
    {"aftnnar", K::EndnoteNumbering}, {"aftnnalc", K::EndnoteNumbering}, {"aftnnauc", K::EndnoteNumbering},
    {"aftnnrlc", K::EndnoteNumbering}, {"aftnnruc", K::EndnoteNumbering},
    {"tab", K::Tab, Kind::Symbol, u'\t'}, {"line", K::Line, Kind::Symbol, 0x2028}, {"emdash", K::EmDash, Kind::Symbol, 0x2014}, {"endash", K::EnDash, Kind::Symbol, 0x2013},
    {"bullet", K::Bullet, Kind::Symbol, 0x2022}, {"lquote", K::LeftQuote, Kind::Symbol, 0x2018}, {"rquote", K::RightQuote, Kind::Symbol, 0x2019},
    {"ldblquote", K::LeftDoubleQuote, Kind::Symbol, 0x201C}, {"rdblquote", K::RightDoubleQuote, Kind::Symbol, 0x201D},
    {"emspace", K::EmSpace, Kind::Symbol, 0x2003}, {"enspace", K::EnSpace, Kind::Symbol, 0x2002}, {"qmspace", K::QuarterEmSpace, Kind::Symbol, 0x2005},
    {"zwj", K::ZeroWidthJoiner, Kind::Symbol, 0x200D}, {"zwnj", K::ZeroWidthNonJoiner, Kind::Symbol, 0x200C},
    {"ltrmark", K::LtrMark, Kind::Symbol, 0x200E}, {"rtlmark", K::RtlMark, Kind::Symbol, 0x200F},

    // Line spacing, tab stops, borders and shading of a paragraph; language, raised and
    // lowered text of a run.
    {"sl", K::LineSpacing}, {"slmult", K::LineMultiple},
    {"tx", K::TabWord}, {"tb", K::TabWord}, {"tqr", K::TabWord}, {"tqc", K::TabWord},
    {"tqdec", K::TabWord}, {"tldot", K::TabWord}, {"tlhyph", K::TabWord}, {"tlul", K::TabWord},
    {"tlth", K::TabWord}, {"tleq", K::TabWord}, {"tlmdot", K::TabWord},
    {"brdrt", K::ParagraphBorder}, {"brdrb", K::ParagraphBorder}, {"brdrl", K::ParagraphBorder},
    {"brdrr", K::ParagraphBorder}, {"box", K::ParagraphBorder}, {"brdrbtw", K::ParagraphBorder},
    {"brdrbar", K::ParagraphBorder},
    {"brdrw", K::BorderAttribute}, {"brdrcf", K::BorderAttribute}, {"brsp", K::BorderAttribute},
    {"brdrdashsm", K::BorderAttribute}, {"brdrdashd", K::BorderAttribute}, {"brdrdashdd", K::BorderAttribute},
    {"brdrwavy", K::BorderAttribute}, {"brdrframe", K::BorderAttribute},
    // A paragraph set in a frame on the page: kept as written.
    {"absw", K::FrameWord}, {"absh", K::FrameWord}, {"phmrg", K::FrameWord}, {"phpg", K::FrameWord},
    {"phcol", K::FrameWord}, {"posx", K::FrameWord}, {"posxc", K::FrameWord}, {"posxi", K::FrameWord},
    {"posxo", K::FrameWord}, {"posxl", K::FrameWord}, {"posxr", K::FrameWord}, {"posnegx", K::FrameWord},
    {"pvmrg", K::FrameWord}, {"pvpg", K::FrameWord}, {"pvpara", K::FrameWord}, {"posy", K::FrameWord},
    {"posnegy", K::FrameWord}, {"posyil", K::FrameWord}, {"posyt", K::FrameWord}, {"posyc", K::FrameWord},
    {"posyb", K::FrameWord}, {"posyin", K::FrameWord}, {"posyout", K::FrameWord}, {"nowrap", K::FrameWord},
    {"dxfrtext", K::FrameWord}, {"dfrmtxtx", K::FrameWord}, {"dfrmtxty", K::FrameWord},
    {"absnoovrlp", K::FrameWord}, {"wraparound", K::FrameWord}, {"wraptight", K::FrameWord},
    {"wrapthrough", K::FrameWord}, {"dropcapli", K::FrameWord}, {"dropcapt", K::FrameWord},
    {"shading", K::ShadingWord}, {"cfpat", K::ShadingWord}, {"cbpat", K::ShadingColor},
    {"bghoriz", K::ShadingWord}, {"bgvert", K::ShadingWord}, {"bgfdiag", K::ShadingWord},
    {"bgbdiag", K::ShadingWord}, {"bgcross", K::ShadingWord}, {"bgdcross", K::ShadingWord},
    {"bgdkhoriz", K::ShadingWord}, {"bgdkvert", K::ShadingWord}, {"bgdkfdiag", K::ShadingWord},
    {"bgdkbdiag", K::ShadingWord}, {"bgdkcross", K::ShadingWord}, {"bgdkdcross", K::ShadingWord},
    {"lang", K::Language}, {"up", K::Raise}, {"dn", K::Lower}, {"pagebb", K::PageBreakBefore},
    // Which script the words after them format, and the fonts, sizes and weights of the
    // other scripts: kept with the words they change the meaning of.
    {"rtlch", K::ScriptWord}, {"ltrch", K::ScriptWord}, {"loch", K::ScriptWord}, {"hich", K::ScriptWord},
    {"dbch", K::ScriptWord}, {"af", K::ScriptWord}, {"afs", K::ScriptWord}, {"ab", K::ScriptWord},
    {"ai", K::ScriptWord}, {"alang", K::ScriptWord}, {"langfe", K::ScriptWord}, {"langnp", K::ScriptWord},
    {"langfenp", K::ScriptWord},

    // Characters that the file's readers work out: a comment's mark, page numbers, dates.
    {"chatn", K::Unknown, Kind::KeptWord}, {"chpgn", K::Unknown, Kind::KeptWord},
    {"chdate", K::Unknown, Kind::KeptWord}, {"chdpl", K::Unknown, Kind::KeptWord},
    {"chdpa", K::Unknown, Kind::KeptWord}, {"chtime", K::Unknown, Kind::KeptWord},
    {"sectnum", K::Unknown, Kind::KeptWord},
};

constexpr std::size_t tableSize = 1024; // a power of two, well over twice the entries
static_assert(std::size(entries) * 2 < tableSize);

constexpr std::uint32_t hashName(std::string_view name)
{
    std::uint32_t h = 2166136261u;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

struct Table {
    std::array<std::int16_t, tableSize> slots{};

    constexpr Table()
    {
        for (auto &s : slots)
            s = -1;
        for (std::size_t i = 0; i < std::size(entries); ++i) {
            std::size_t slot = hashName(entries[i].name) & (tableSize - 1);
            while (slots[slot] >= 0)
                slot = (slot + 1) & (tableSize - 1);
            slots[slot] = std::int16_t(i);
        }
    }
};

constexpr Table table;

} // namespace

const KeywordInfo &lookupKeyword(std::string_view name)
{
    static constexpr KeywordInfo unknown;
    if (name.size() > 32)
        return unknown;
    std::size_t slot = hashName(name) & (tableSize - 1);
    for (;;) {
        const int index = table.slots[slot];
        if (index < 0)
            return unknown;
        if (entries[index].name == name)
            return entries[index];
        slot = (slot + 1) & (tableSize - 1);
    }
}

} // namespace rtf
