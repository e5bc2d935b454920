#include "rtf/keywords.h"

#include <array>
#include <cstring>

namespace rtf {

namespace {

struct Entry {
    std::string_view name;
    Keyword keyword;
};

using K = Keyword;

constexpr Entry entries[] = {
    // Destinations that hold no body text. Most are also marked \* by their producers,
    // but enough old writers omit the star that we name them.
    {"info", K::SkippedDestination},
    {"header", K::SkippedDestination}, {"headerl", K::SkippedDestination},
    {"headerr", K::SkippedDestination}, {"headerf", K::SkippedDestination},
    {"footer", K::SkippedDestination}, {"footerl", K::SkippedDestination},
    {"footerr", K::SkippedDestination}, {"footerf", K::SkippedDestination},
    {"footnote", K::SkippedDestination}, {"annotation", K::SkippedDestination},
    {"atnid", K::SkippedDestination}, {"atnauthor", K::SkippedDestination},
    {"atndate", K::SkippedDestination}, {"atnref", K::SkippedDestination},
    {"atntime", K::SkippedDestination}, {"atnicn", K::SkippedDestination},
    {"objdata", K::SkippedDestination},
    {"objclass", K::SkippedDestination}, {"objname", K::SkippedDestination},
    {"objalias", K::SkippedDestination}, {"objsect", K::SkippedDestination},
    {"objtime", K::SkippedDestination}, {"themedata", K::SkippedDestination},
    {"colorschememapping", K::SkippedDestination}, {"datastore", K::SkippedDestination},
    {"xmlnstbl", K::SkippedDestination}, {"latentstyles", K::SkippedDestination},
    {"revtbl", K::SkippedDestination}, {"rsidtbl", K::SkippedDestination},
    {"generator", K::SkippedDestination},
    {"xe", K::SkippedDestination}, {"tc", K::SkippedDestination},
    {"txe", K::SkippedDestination}, {"rxe", K::SkippedDestination},
    {"bkmkstart", K::SkippedDestination}, {"bkmkend", K::SkippedDestination},
    {"pntxta", K::SkippedDestination}, {"pntxtb", K::SkippedDestination},
    {"pntext", K::SkippedDestination}, {"listtext", K::SkippedDestination},
    {"leveltext", K::SkippedDestination}, {"levelnumbers", K::SkippedDestination},
    {"listname", K::SkippedDestination}, {"filetbl", K::SkippedDestination},
    {"template", K::SkippedDestination}, {"nonshppict", K::SkippedDestination},
    {"do", K::SkippedDestination},
    {"shprslt", K::SkippedDestination}, {"nonesttables", K::SkippedDestination},
    {"ftnsep", K::SkippedDestination}, {"ftnsepc", K::SkippedDestination},
    {"ftncn", K::SkippedDestination}, {"aftnsep", K::SkippedDestination},
    {"aftnsepc", K::SkippedDestination}, {"aftncn", K::SkippedDestination},
    {"userprops", K::SkippedDestination}, {"docvar", K::SkippedDestination},
    {"falt", K::SkippedDestination}, {"panose", K::SkippedDestination},
    {"fname", K::SkippedDestination}, {"fontemb", K::SkippedDestination},
    {"fontfile", K::SkippedDestination}, {"author", K::SkippedDestination},
    {"operator", K::SkippedDestination}, {"title", K::SkippedDestination},
    {"subject", K::SkippedDestination}, {"keywords", K::SkippedDestination},
    {"comment", K::SkippedDestination}, {"doccomm", K::SkippedDestination},
    {"company", K::SkippedDestination}, {"manager", K::SkippedDestination},
    {"category", K::SkippedDestination}, {"hlinkbase", K::SkippedDestination},
    {"buptim", K::SkippedDestination}, {"creatim", K::SkippedDestination},
    {"revtim", K::SkippedDestination}, {"printim", K::SkippedDestination},
    {"mmathPr", K::SkippedDestination}, {"pgdsctbl", K::SkippedDestination},
    {"protusertbl", K::SkippedDestination}, {"listpicture", K::SkippedDestination},
    {"blipuid", K::SkippedDestination}, {"picprop", K::SkippedDestination},
    {"defchp", K::SkippedDestination}, {"defpap", K::SkippedDestination},
    {"wgrffmtfilter", K::SkippedDestination}, {"passwordhash", K::SkippedDestination},
    {"background", K::SkippedDestination}, {"formfield", K::SkippedDestination},
    {"datafield", K::SkippedDestination}, {"macc", K::SkippedDestination},
    {"pxe", K::SkippedDestination}, {"private", K::SkippedDestination},

    {"fonttbl", K::FontTable}, {"colortbl", K::ColorTable},
    {"listtable", K::ListTable}, {"list", K::List}, {"listlevel", K::ListLevel},
    {"listoverridetable", K::ListOverrideTable}, {"listoverride", K::ListOverride},
    {"pn", K::Pn}, {"upr", K::Upr}, {"ud", K::Ud}, {"shpinst", K::ShapeInstance},
    // Groups whose text is body text: field results, object results, text boxes.
    {"field", K::TextContainer}, {"fldrslt", K::FieldResult}, {"result", K::TextContainer},
    {"object", K::TextContainer}, {"shp", K::TextContainer},
    // A text box floats beside the body rather than in it; readers that show text in
    // order (LibreOffice's text export among them) leave it out, and so do we.
    {"shptxt", K::SkippedDestination},
    // Of a picture's two forms, the one for shape-aware readers (\nonshppict is skipped).
    {"shppict", K::TextContainer},
    // Holds nested table row properties, but some producers put the cells' text in it too.
    {"nesttableprops", K::NestTableProperties},
    {"pict", K::Picture}, {"fldinst", K::FieldInstruction}, {"stylesheet", K::StyleSheet},
    // Shape properties: only a picture shape's picture (pib) is read.
    {"sp", K::ShapeProperty}, {"sn", K::ShapePropertyName}, {"sv", K::ShapePropertyValue},

    {"ansi", K::Ansi}, {"mac", K::Mac}, {"pc", K::Pc}, {"pca", K::Pca},
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

    {"par", K::Par}, {"sect", K::Par}, {"page", K::Par}, {"column", K::Par},
    {"pard", K::Pard}, {"ql", K::AlignLeft}, {"qr", K::AlignRight},
    {"qc", K::AlignCenter}, {"qj", K::AlignJustify}, {"qd", K::AlignJustify},
    {"li", K::LeftIndent}, {"lin", K::LeftIndent}, {"ri", K::RightIndent},
    {"rin", K::RightIndent}, {"fi", K::FirstIndent}, {"sb", K::SpaceBefore},
    {"sa", K::SpaceAfter}, {"ls", K::ListOverrideIndex}, {"ilvl", K::ListLevelIndex},
    {"cell", K::Cell}, {"nestcell", K::NestCell}, {"row", K::Row}, {"nestrow", K::NestRow},
    {"s", K::ParagraphStyleRef}, {"cs", K::CharacterStyleRef}, {"sbasedon", K::StyleBasedOn},

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
    {"tab", K::Tab}, {"line", K::Line}, {"emdash", K::EmDash}, {"endash", K::EnDash},
    {"bullet", K::Bullet}, {"lquote", K::LeftQuote}, {"rquote", K::RightQuote},
    {"ldblquote", K::LeftDoubleQuote}, {"rdblquote", K::RightDoubleQuote},
    {"emspace", K::EmSpace}, {"enspace", K::EnSpace}, {"qmspace", K::QuarterEmSpace},
    {"zwj", K::ZeroWidthJoiner}, {"zwnj", K::ZeroWidthNonJoiner},
    {"ltrmark", K::LtrMark}, {"rtlmark", K::RtlMark},
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

Keyword lookupKeyword(std::string_view name)
{
    if (name.size() > 32)
        return Keyword::Unknown;
    std::size_t slot = hashName(name) & (tableSize - 1);
    for (;;) {
        const int index = table.slots[slot];
        if (index < 0)
            return Keyword::Unknown;
        if (entries[index].name == name)
            return entries[index].keyword;
        slot = (slot + 1) & (tableSize - 1);
    }
}

} // namespace rtf
