#include "rtf/keywords.h"

#include "rtf/sink.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace rtf {

namespace {

using Entry = KeywordInfo;
using K = Keyword;
using Kind = WordKind;

// The rows by kind, and the columns that go with some of them.
constexpr Entry flag(std::string_view name, K keyword) { return {name, keyword, Kind::Flag}; }
constexpr Entry toggle(std::string_view name, K keyword) { return {name, keyword, Kind::Toggle, 0, 1}; }
constexpr Entry value(std::string_view name, K keyword, std::int16_t withoutParameter = 0)
{
    return {name, keyword, Kind::Value, 0, withoutParameter};
}
constexpr Entry symbol(std::string_view name, K keyword, char16_t c) { return {name, keyword, Kind::Symbol, c}; }
constexpr Entry destination(std::string_view name, K keyword) { return {name, keyword, Kind::Destination}; }
constexpr Entry starred(Entry entry) { entry.readStarred = true; return entry; }
constexpr Entry style(Entry entry, std::uint8_t gives = 0)
{
    entry.styleFormat = true;
    entry.gives = gives;
    return entry;
}
constexpr Entry script(Entry entry) { entry.scriptBound = true; return entry; }
constexpr Entry underline(std::string_view name) { return style(toggle(name, K::Underline)); }

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

    // Destinations the reader reads. Those marked starred are read also behind \*.
    destination("fonttbl", K::FontTable), destination("colortbl", K::ColorTable),
    starred(destination("listtable", K::ListTable)), destination("list", K::List),
    destination("listlevel", K::ListLevel),
    starred(destination("listoverridetable", K::ListOverrideTable)), destination("listoverride", K::ListOverride),
    starred(destination("pn", K::Pn)), destination("upr", K::Upr), starred(destination("ud", K::Ud)),
    starred(destination("shpinst", K::ShapeInstance)),
    // Groups whose text is body text: field results, object results, text boxes.
    starred(destination("field", K::Field)), starred(destination("fldrslt", K::FieldResult)),
    starred(destination("result", K::TextContainer)),
    starred(destination("object", K::WrappedContainer)), starred(destination("shp", K::WrappedContainer)),
    // A text box floats beside the body rather than in it; readers that show text in
    // order (LibreOffice's text export among them) leave it out, and so do we.
    {"shptxt", K::Unknown, Kind::Dropped},
    // Of a picture's two forms, the one for shape-aware readers (\nonshppict is skipped).
    starred(destination("shppict", K::TextContainer)),
    // Holds nested table row properties, but some producers put the cells' text in it too.
    starred(destination("nesttableprops", K::NestTableProperties)),
    destination("pict", K::Picture), starred(destination("fldinst", K::FieldInstruction)),
    destination("stylesheet", K::StyleSheet),
    // Shape properties: only a picture shape's picture (pib) is read.
    starred(destination("sp", K::ShapeProperty)), destination("sn", K::ShapePropertyName),
    destination("sv", K::ShapePropertyValue),

    value("rtf", K::Version), flag("ansi", K::Ansi), flag("mac", K::Mac), flag("pc", K::Pc), flag("pca", K::Pca),
    value("ansicpg", K::AnsiCodePage), value("deff", K::DefaultFont), value("uc", K::UnicodeSkip),
    value("u", K::Unicode),

    script(style(value("f", K::Font))), value("fcharset", K::FontCharset), value("cpg", K::FontCodePage),
    value("red", K::Red), value("green", K::Green), value("blue", K::Blue),

    flag("plain", K::Plain), script(style(toggle("b", K::Bold))), script(style(toggle("i", K::Italic))),
    underline("ul"), underline("uld"), underline("uldb"), underline("ulw"), underline("ulwave"),
    underline("uldash"), underline("uldashd"), underline("uldashdd"), underline("ulth"), underline("ulhwave"),
    underline("ululdbwave"), underline("ulthd"), underline("ulthdash"), underline("ulldash"),
    underline("ulthldash"), underline("ulthdashd"), underline("ulthdashdd"),
    style(flag("ulnone", K::UnderlineNone)), style(toggle("strike", K::Strike)),
    style(toggle("striked", K::StrikeDouble)),
    script(style(value("fs", K::FontSize, 24))), style(value("cf", K::Foreground)),
    style(value("cb", K::Background)), style(value("highlight", K::Background)),
    style(value("chcbpat", K::Background)),
    style(toggle("super", K::Superscript)), style(toggle("sub", K::Subscript)),
    style(flag("nosupersub", K::NoSuperSub)), style(toggle("v", K::Hidden)),

    flag("par", K::Par), flag("sect", K::Section), flag("page", K::Page), flag("column", K::Par),
    flag("pard", K::Pard), style(flag("ql", K::AlignLeft), GivesAlignment),
    style(flag("qr", K::AlignRight), GivesAlignment), style(flag("qc", K::AlignCenter), GivesAlignment),
    style(flag("qj", K::AlignJustify), GivesAlignment), style(flag("qd", K::AlignJustify), GivesAlignment),
    style(value("li", K::LeftIndent), GivesLeft), style(value("lin", K::LeftIndent), GivesLeft),
    style(value("ri", K::RightIndent), GivesRight), style(value("rin", K::RightIndent), GivesRight),
    style(value("fi", K::FirstIndent), GivesFirst), style(value("sb", K::SpaceBefore), GivesBefore),
    style(value("sa", K::SpaceAfter), GivesAfter), style(value("ls", K::ListOverrideIndex)),
    style(value("ilvl", K::ListLevelIndex)),
    flag("cell", K::Cell), flag("nestcell", K::NestCell), flag("row", K::Row), flag("nestrow", K::NestRow),
    value("s", K::ParagraphStyleRef), script(starred(value("cs", K::CharacterStyleRef))),
    value("sbasedon", K::StyleBasedOn),

    flag("intbl", K::InTable), value("itap", K::TableDepth), flag("trowd", K::RowDefaults),
    value("trleft", K::RowLeft), value("cellx", K::CellRight),
    flag("clmrg", K::CellMergeLeft), flag("clvmrg", K::CellMergeUp),
    flag("clbrdrt", K::CellBorder), flag("clbrdrl", K::CellBorder), flag("clbrdrb", K::CellBorder),
    flag("clbrdrr", K::CellBorder), flag("trbrdrt", K::CellBorder), flag("trbrdrl", K::CellBorder),
    flag("trbrdrb", K::CellBorder), flag("trbrdrr", K::CellBorder), flag("trbrdrh", K::CellBorder),
    flag("trbrdrv", K::CellBorder),
    // Border words: a cell's border turns the row's borders on, a paragraph's is kept as written.
    value("brdrs", K::BorderStyle), value("brdrth", K::BorderStyle), value("brdrsh", K::BorderStyle),
    value("brdrdb", K::BorderStyle), value("brdrdot", K::BorderStyle), value("brdrdash", K::BorderStyle),
    value("brdrhair", K::BorderStyle), value("brdrtriple", K::BorderStyle), value("brdrinset", K::BorderStyle),
    value("brdroutset", K::BorderStyle), value("brdrengrave", K::BorderStyle), value("brdremboss", K::BorderStyle),
    value("brdrnone", K::BorderNone), value("brdrnil", K::BorderNone), value("brdrtbl", K::BorderNone),

    flag("pngblip", K::PngBlip), flag("jpegblip", K::JpegBlip), value("picw", K::PictureWidth),
    value("pich", K::PictureHeight), value("picwgoal", K::PictureGoalWidth), value("pichgoal", K::PictureGoalHeight),
    value("picscalex", K::PictureScaleX), value("picscaley", K::PictureScaleY),

    value("listid", K::ListId), value("levelnfc", K::LevelFormat), value("levelnfcn", K::LevelFormat),
    flag("pnlvlblt", K::PnBullet), flag("pnlvlbody", K::PnBody), flag("pnlvlcont", K::PnContinue),
    value("pnlvl", K::PnLevel), flag("pndec", K::PnDecimal), flag("pnucltr", K::PnUpperLetter),
    flag("pnlcltr", K::PnLowerLetter), flag("pnucrm", K::PnUpperRoman), flag("pnlcrm", K::PnLowerRoman),

    flag("chftn", K::FootnoteNumber),
    flag("ftnnar", K::FootnoteNumbering), flag("ftnnalc", K::FootnoteNumbering), flag("ftnnauc", K::FootnoteNumbering),
    flag("ftnnrlc", K::FootnoteNumbering), flag("ftnnruc", K::FootnoteNumbering),
    flag("aftnnar", K::EndnoteNumbering), flag("aftnnalc", K::EndnoteNumbering), flag("aftnnauc", K::EndnoteNumbering),
    flag("aftnnrlc", K::EndnoteNumbering), flag("aftnnruc", K::EndnoteNumbering),
    symbol("tab", K::Tab, u'\t'), symbol("line", K::Line, 0x2028), symbol("emdash", K::EmDash, 0x2014),
    symbol("endash", K::EnDash, 0x2013), symbol("bullet", K::Bullet, 0x2022),
    symbol("lquote", K::LeftQuote, 0x2018), symbol("rquote", K::RightQuote, 0x2019),
    symbol("ldblquote", K::LeftDoubleQuote, 0x201C), symbol("rdblquote", K::RightDoubleQuote, 0x201D),
    symbol("emspace", K::EmSpace, 0x2003), symbol("enspace", K::EnSpace, 0x2002),
    symbol("qmspace", K::QuarterEmSpace, 0x2005),
    symbol("zwj", K::ZeroWidthJoiner, 0x200D), symbol("zwnj", K::ZeroWidthNonJoiner, 0x200C),
    symbol("ltrmark", K::LtrMark, 0x200E), symbol("rtlmark", K::RtlMark, 0x200F),

    // A field's own words (\fldlock: its result stands as it is), kept with its instruction.
    flag("fldlock", K::FieldWord), flag("fldedit", K::FieldWord), flag("flddirty", K::FieldWord),
    flag("fldpriv", K::FieldWord),

    // Line spacing, tab stops, borders and shading of a paragraph; language, raised and
    // lowered text of a run.
    value("sl", K::LineSpacing), toggle("slmult", K::LineMultiple),
    value("tx", K::TabWord), value("tb", K::TabWord), value("tqr", K::TabWord), value("tqc", K::TabWord),
    value("tqdec", K::TabWord), value("tldot", K::TabWord), value("tlhyph", K::TabWord), value("tlul", K::TabWord),
    value("tlth", K::TabWord), value("tleq", K::TabWord), value("tlmdot", K::TabWord),
    value("brdrt", K::ParagraphBorder), value("brdrb", K::ParagraphBorder), value("brdrl", K::ParagraphBorder),
    value("brdrr", K::ParagraphBorder), value("box", K::ParagraphBorder), value("brdrbtw", K::ParagraphBorder),
    value("brdrbar", K::ParagraphBorder),
    value("brdrw", K::BorderAttribute), value("brdrcf", K::BorderAttribute), value("brsp", K::BorderAttribute),
    value("brdrdashsm", K::BorderAttribute), value("brdrdashd", K::BorderAttribute), value("brdrdashdd", K::BorderAttribute),
    value("brdrwavy", K::BorderAttribute), value("brdrframe", K::BorderAttribute),
    // A paragraph set in a frame on the page: kept as written.
    value("absw", K::FrameWord), value("absh", K::FrameWord), value("phmrg", K::FrameWord), value("phpg", K::FrameWord),
    value("phcol", K::FrameWord), value("posx", K::FrameWord), value("posxc", K::FrameWord), value("posxi", K::FrameWord),
    value("posxo", K::FrameWord), value("posxl", K::FrameWord), value("posxr", K::FrameWord), value("posnegx", K::FrameWord),
    value("pvmrg", K::FrameWord), value("pvpg", K::FrameWord), value("pvpara", K::FrameWord), value("posy", K::FrameWord),
    value("posnegy", K::FrameWord), value("posyil", K::FrameWord), value("posyt", K::FrameWord), value("posyc", K::FrameWord),
    value("posyb", K::FrameWord), value("posyin", K::FrameWord), value("posyout", K::FrameWord), value("nowrap", K::FrameWord),
    value("dxfrtext", K::FrameWord), value("dfrmtxtx", K::FrameWord), value("dfrmtxty", K::FrameWord),
    value("absnoovrlp", K::FrameWord), value("wraparound", K::FrameWord), value("wraptight", K::FrameWord),
    value("wrapthrough", K::FrameWord), value("dropcapli", K::FrameWord), value("dropcapt", K::FrameWord),
    value("shading", K::ShadingWord), value("cfpat", K::ShadingWord), value("cbpat", K::ShadingColor),
    value("bghoriz", K::ShadingWord), value("bgvert", K::ShadingWord), value("bgfdiag", K::ShadingWord),
    value("bgbdiag", K::ShadingWord), value("bgcross", K::ShadingWord), value("bgdcross", K::ShadingWord),
    value("bgdkhoriz", K::ShadingWord), value("bgdkvert", K::ShadingWord), value("bgdkfdiag", K::ShadingWord),
    value("bgdkbdiag", K::ShadingWord), value("bgdkcross", K::ShadingWord), value("bgdkdcross", K::ShadingWord),
    script(value("lang", K::Language)), value("up", K::Raise, 6), value("dn", K::Lower, 6),
    toggle("pagebb", K::PageBreakBefore),
    // Which script the words after them format, and the fonts, sizes and weights of the
    // other scripts: kept with the words they change the meaning of.
    script(value("rtlch", K::ScriptWord)), script(value("ltrch", K::ScriptWord)), script(value("loch", K::ScriptWord)),
    script(value("hich", K::ScriptWord)), script(value("dbch", K::ScriptWord)), script(value("af", K::ScriptWord)),
    script(value("afs", K::ScriptWord)), script(value("ab", K::ScriptWord)), script(value("ai", K::ScriptWord)),
    script(value("alang", K::ScriptWord)), script(value("langfe", K::ScriptWord)), script(value("langnp", K::ScriptWord)),
    script(value("langfenp", K::ScriptWord)),

    // Characters that the file's readers work out: a comment's mark, page numbers, dates.
    {"chatn", K::Unknown, Kind::KeptWord}, {"chpgn", K::Unknown, Kind::KeptWord},
    {"chdate", K::Unknown, Kind::KeptWord}, {"chdpl", K::Unknown, Kind::KeptWord},
    {"chdpa", K::Unknown, Kind::KeptWord}, {"chtime", K::Unknown, Kind::KeptWord},
    {"sectnum", K::Unknown, Kind::KeptWord},
};

constexpr std::size_t tableSize = 1024; // a power of two, well over twice the entries
static_assert(std::size(entries) * 2 < tableSize);

// The length and the first two and last two letters tell the names apart well enough, at a
// fixed cost: every control word of a file is looked up.
constexpr std::uint32_t hashName(std::string_view name)
{
    if (name.empty())
        return 0;
    const auto letter = [name](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(name[i])); };
    const std::size_t last = name.size() - 1;
    const std::uint32_t h = std::uint32_t(name.size()) | letter(0) << 6 | letter(last) << 13
        | (letter(std::min<std::size_t>(1, last)) ^ letter(last > 0 ? last - 1 : 0) << 3) << 20;
    return (h * 2654435761u) >> 16;
}

struct Table {
    std::array<std::int16_t, tableSize> indexes{};

    constexpr Table()
    {
        for (auto &s : indexes)
            s = -1;
        for (std::size_t i = 0; i < std::size(entries); ++i) {
            std::size_t slot = hashName(entries[i].name) & (tableSize - 1);
            while (indexes[slot] >= 0)
                slot = (slot + 1) & (tableSize - 1);
            indexes[slot] = std::int16_t(i);
        }
    }
};

constexpr Table table;

// Names are a few letters long: compared in place, they cost less than a call to memcmp.
inline bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

} // namespace

const KeywordInfo &lookupKeyword(std::string_view name)
{
    static constexpr KeywordInfo unknown;
    if (name.size() > 32)
        return unknown;
    std::size_t slot = hashName(name) & (tableSize - 1);
    for (;;) {
        const int index = table.indexes[slot];
        if (index < 0)
            return unknown;
        if (sameName(entries[index].name, name))
            return entries[index];
        slot = (slot + 1) & (tableSize - 1);
    }
}

} // namespace rtf
