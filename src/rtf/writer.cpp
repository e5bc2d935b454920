#include "rtf/rtf.h"

#include "rtf/codepage.h"
#include "rtf/controlwords.h"
#include "rtf/escape.h"
#include "app/twips.h"
#include "rtf/keptformat.h"
#include "rtf/pictureformat.h"
#include "rtf/sink.h"
#include "rtf/tablemetrics.h"
#include "rtf/underline.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <QSet>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <utility>

namespace rtf {

namespace {

// The one program-wide figure, as a double: lengths in documents keep their fractions.
constexpr double TwipsPerPixel = ::TwipsPerPixel;
constexpr int ListIndentTwips = 360;

enum ListSlot { BulletList, DecimalList, LowerAlphaList, UpperAlphaList, LowerRomanList, UpperRomanList, ListSlots };

ListSlot slotFor(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return DecimalList;
    case QTextListFormat::ListLowerAlpha: return LowerAlphaList;
    case QTextListFormat::ListUpperAlpha: return UpperAlphaList;
    case QTextListFormat::ListLowerRoman: return LowerRomanList;
    case QTextListFormat::ListUpperRoman: return UpperRomanList;
    default: return BulletList;
    }
}

// \levelnfc and the old \pn word for each kind of list.
constexpr int levelFormat[ListSlots] = {23, 0, 4, 3, 2, 1};
constexpr const char *pnFormat[ListSlots] = {"", "\\pndec", "\\pnlcltr", "\\pnucltr", "\\pnlcrm", "\\pnucrm"};

// The entries of a font table as written that have \\fcharset2: the reader decodes their text
// as Windows-1252, and other readers as the font's own glyphs. A later entry for a number
// overrides an earlier one, as it does when read.
QSet<int> symbolFonts(QByteArrayView table)
{
    QSet<int> symbol;
    int font = -1;
    int charset = -1;
    const auto commit = [&] {
        if (font >= 0 && charset == 2)
            symbol.insert(font);
        else if (font >= 0)
            symbol.remove(font);
    };
    forEachControlWord(table, [&](QByteArrayView name, QByteArrayView number, qsizetype) {
        if ((name != "f" && name != "fcharset") || number.isEmpty() || number.front() == '-')
            return;
        if (name == "f") {
            commit();
            font = number.toInt();
            charset = -1;
        } else {
            charset = number.toInt();
        }
    });
    commit();
    return symbol;
}

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

QColor brushColor(const QTextFormat &format, int property)
{
    if (!format.hasProperty(property))
        return {};
    const QBrush brush = format.brushProperty(property);
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

int toTwips(double pixels) { return int(std::lround(pixels * TwipsPerPixel)); }

// The number after `word` at `at` in RTF, or `fallback` where none stands there.
qint64 numberAfter(QByteArrayView rtf, qsizetype at, qint64 fallback)
{
    qsizetype end = at;
    if (end < rtf.size() && rtf[end] == '-')
        ++end;
    while (end < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[end])))
        ++end;
    bool ok = false;
    const qint64 value = rtf.sliced(at, end - at).toLongLong(&ok);
    return ok ? value : fallback;
}

// A list override table's entries: each \ls number with the \listid it names.
QHash<qint64, qint64> listOverrides(QByteArrayView table)
{
    QHash<qint64, qint64> overrides;
    const QByteArrayView word = "\\listoverride";
    for (qsizetype at = table.indexOf(word); at >= 0;) {
        const qsizetype start = at + word.size();
        qsizetype next = table.indexOf(word, start);
        if (start < table.size() && std::isalpha(static_cast<unsigned char>(table[start]))) {
            at = next; // \listoverridetable, \listoverridecount
            continue;
        }
        // The entry runs to the next one; its words may come in any order.
        while (next >= 0 && next + word.size() < table.size()
               && std::isalpha(static_cast<unsigned char>(table[next + word.size()])))
            next = table.indexOf(word, next + word.size());
        const QByteArrayView entry = table.sliced(start, (next < 0 ? table.size() : next) - start);
        qint64 list = -1, number = -1;
        for (qsizetype w = entry.indexOf('\\'); w >= 0; w = entry.indexOf('\\', w + 1)) {
            if (entry.sliced(w).startsWith("\\listid"))
                list = numberAfter(entry, w + 7, list);
            else if (entry.sliced(w).startsWith("\\ls") && w + 3 < entry.size()
                     && (std::isdigit(static_cast<unsigned char>(entry[w + 3])) || entry[w + 3] == '-'))
                number = numberAfter(entry, w + 3, number);
        }
        overrides.insert(number, list);
        at = next;
    }
    return overrides;
}

class Writer
{
public:
    Writer(const QTextDocument &document, const std::function<bool(const QTextBlock &)> &goesOnInNext)
        : m_document(document), m_goesOnInNext(goesOnInNext)
    {
    }

    QByteArray run()
    {
        collectTables();
        m_out.reserve(m_document.characterCount() * 2 + 1024);
        m_out += "{\\rtf1";
        QByteArray header = m_kept.hasProperty(DocumentHeader) ? m_kept.property(DocumentHeader).toByteArray()
                                                               : QByteArray("\\ansi\\ansicpg1252\\deff0");
        if (!m_kept.hasProperty(FontTableEntries))
            header = (header.contains("\\deff") ? header.left(header.indexOf("\\deff")) : header) + "\\deff0"; // our own table's font 0
        m_out += header;
        m_out += "\\uc1\n";
        writeFontTable();
        writeColorTable();
        writeKept(StyleSheetGroup);
        writeListTables();
        writeKept(DocumentPrologue);
        m_out += "\\pard\\plain\n";
        writeFlow(m_document.rootFrame()->begin(), 0, "");
        m_out += "}\n";
        return m_out;
    }

private:
    void writeKept(int property)
    {
        if (m_kept.hasProperty(property)) {
            m_out += m_kept.property(property).toByteArray();
            m_out += '\n';
        }
    }

    // A font for `family`: the file's own entry for it, else a new one after them.
    void addFont(const QString &family)
    {
        if (family.isEmpty() || m_fontIndex.contains(family))
            return;
        // Past the last number int has, a number below that no entry or kept word takes.
        int number = m_nextFont;
        if (number == std::numeric_limits<int>::max()) {
            while (m_takenFontNumbers.contains(number) && number > 0)
                --number;
        }
        m_takenFontNumbers.insert(number);
        m_fontIndex.insert(family, number);
        m_fonts.append({number, family});
        if (m_nextFont < std::numeric_limits<int>::max())
            ++m_nextFont;
    }

    // The number a kept "N=..." entry gives.
    static int entryNumber(const QString &entry) { return entry.first(entry.indexOf(u'=')).toInt(); }

    // A number the file's table or kept words take: new entries go above it.
    void takeFontNumber(int number)
    {
        m_takenFontNumbers.insert(number);
        // A file may number a font as high as int goes; new ones then share the last number.
        m_nextFont = std::max(m_nextFont, number < std::numeric_limits<int>::max() ? number + 1 : number);
    }

    // Fonts kept words name as a later table gave them, under the numbers they name.
    void addLaterFonts(const QStringList &later, QSet<int> &keptNumbers)
    {
        for (const QString &entry : later) {
            const qsizetype equals = entry.indexOf(u'=');
            const qsizetype second = entry.indexOf(u'=', equals + 1);
            const int number = entryNumber(entry);
            const int codePage = entry.sliced(equals + 1, second - equals - 1).toInt();
            const QString family = entry.sliced(second + 1);
            if (number < 0)
                continue;
            m_fonts.append({number, family});
            if (codePage > 0)
                m_fontCodePages.insert(number, codePage);
            // The lowest number for a typeface, as when the saved table is read again.
            if (const auto found = m_fontIndex.constFind(family);
                !family.isEmpty() && (found == m_fontIndex.cend() || *found > number))
                m_fontIndex.insert(family, number);
            takeFontNumber(number);
            keptNumbers.insert(number);
        }
    }

    void collectTables()
    {
        const bool keptFonts = m_kept.hasProperty(FontTableEntries);
        QSet<int> keptNumbers;
        int deff = 0;
        bool laterFonts = false;
        if (keptFonts) {
            const QStringList later = m_kept.property(LaterFontNames).toStringList();
            QSet<int> givenAgain; // kept entries a later entry overrides
            for (const QString &entry : later)
                givenAgain.insert(entryNumber(entry));
            for (const QString &entry : m_kept.property(FontTableNames).toStringList()) {
                const int number = entryNumber(entry);
                const QString family = entry.sliced(entry.indexOf(u'=') + 1);
                // Text cannot name a font below 0 (\f-1 reads as \f0): such a typeface gets a new entry.
                if (number >= 0 && !m_fontIndex.contains(family) && !givenAgain.contains(number))
                    m_fontIndex.insert(family, number);
                takeFontNumber(number);
                keptNumbers.insert(number);
            }
            m_symbolFonts = symbolFonts(m_kept.property(FontTableEntries).toByteArray());
            for (const int number : std::as_const(givenAgain))
                m_symbolFonts.remove(number);
            // Fonts kept words name as a table that is not kept numbered them: the same numbers.
            addLaterFonts(later, keptNumbers);
            const QByteArray header = m_kept.property(DocumentHeader).toByteArray();
            deff = header.contains("\\deff") ? header.mid(header.indexOf("\\deff") + 5).toInt() : -1;
        } else if (!m_kept.hasProperty(DocumentHeader)) {
            // Font 0 is the typeface text typed without one of its own was shown in.
            addFont(m_document.defaultFont().family());
            m_defaultFontNamed = !m_fonts.isEmpty();
            if (m_fonts.isEmpty())
                m_fonts.append({m_nextFont++, QString()});
        } else {
            // Font 0 has no name: read from a file without fonts, text stays without one. Fonts
            // kept words name by a table that was not kept keep their numbers.
            addLaterFonts(m_kept.property(LaterFontNames).toStringList(), keptNumbers);
            laterFonts = !keptNumbers.isEmpty();
            if (!keptNumbers.contains(0)) {
                m_fonts.append({0, QString()});
                takeFontNumber(0);
            }
        }
        if (m_kept.hasProperty(HighestFontNumber))
            takeFontNumber(m_kept.intProperty(HighestFontNumber));
        if (m_kept.hasProperty(ColorTableEntries)) {
            for (const QVariant &color : m_kept.property(ColorTableColors).toList()) {
                const QColor c = color.value<QColor>();
                // Entry 0 reads as automatic whatever it holds.
                if (c.isValid() && m_colorCount > 0 && !m_colorIndex.contains(c.rgb()))
                    m_colorIndex.insert(c.rgb(), int(m_colorCount));
                ++m_colorCount;
            }
        }
        if (m_colorCount == 0)
            m_colorCount = 1; // entry 0 is "automatic"
        // Runs share a few formats: each is looked at once, which keeps the order entries are
        // first met in.
        QSet<int> seenFormats;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (const int index = fragment.charFormatIndex(); !seenFormats.contains(index))
                    seenFormats.insert(index);
                else
                    continue;
                const QTextCharFormat format = fragment.charFormat();
                for (const QTextCharFormat &f : {format, wrapOpenedIn(format)}) {
                    addFont(familyOf(f));
                    addColor(brushColor(f, QTextFormat::ForegroundBrush));
                    addColor(brushColor(f, QTextFormat::BackgroundBrush));
                }
            }
            if (!block.blockFormat().hasProperty(ShadingWords))
                addColor(brushColor(block.blockFormat(), QTextFormat::BackgroundBrush));
            if (const QTextList *list = block.textList())
                m_listUsed[slotFor(list->format().style())] = true;
        }
        if (m_listUsed[BulletList]) {
            addFont(QStringLiteral("Symbol"));
            m_symbolFont = m_fontIndex.value(QStringLiteral("Symbol"));
            // Our entries, a later table's fonts among them, give it \\fcharset2 when written.
            if (std::any_of(m_fonts.cbegin(), m_fonts.cend(), [&](const auto &font) { return font.first == m_symbolFont; }))
                m_symbolFonts.insert(m_symbolFont);
        }
        if (keptFonts || laterFonts)
            chooseNoFont(keptNumbers, deff);
        m_keptLists = m_kept.hasProperty(ListTableGroup) && m_kept.hasProperty(ListOverrideTableGroup);
        if (m_keptLists)
            m_keptOverrides = listOverrides(m_kept.property(ListOverrideTableGroup).toByteArray());
    }

    // Text without a typeface reads back as such under the default font only when the
    // written table leaves that number without a name; else under a number no entry has.
    void chooseNoFont(QSet<int> numbers, int deff)
    {
        // The saved table's own entries come after the file's, and read last, they stand.
        bool deffNamed = false, deffGivenAgain = false;
        for (const auto &[number, family] : m_fonts) {
            numbers.insert(number);
            deffNamed = deffNamed || (number == deff && !family.isEmpty());
            deffGivenAgain = deffGivenAgain || number == deff;
        }
        for (const QString &entry : m_kept.property(FontTableNames).toStringList()) {
            deffNamed = deffNamed || (!deffGivenAgain && entryNumber(entry) == deff && entry.indexOf(u'=') + 1 < entry.size());
        }
        if (!deffNamed)
            return;
        m_noFont = NoFontNumber;
        while (numbers.contains(m_noFont) && m_noFont < std::numeric_limits<int>::max())
            ++m_noFont;
    }

    void addColor(const QColor &color)
    {
        if (!color.isValid())
            return;
        const QRgb rgb = color.rgb();
        if (!m_colorIndex.contains(rgb)) {
            m_colorIndex.insert(rgb, int(m_colorCount++));
            m_colors.append(rgb);
        }
    }

    // The file's own table without its closing brace, so that new entries follow its own.
    QByteArray keptTableOpen(int property) const
    {
        QByteArray table = m_kept.property(property).toByteArray();
        if (table.endsWith('}'))
            table.chop(1);
        return table;
    }

    void writeFontTable()
    {
        const QByteArray table = m_kept.hasProperty(FontTableEntries) ? keptTableOpen(FontTableEntries) : QByteArray("{\\fonttbl");
        m_out += table;
        // Entries that stand without braces get new ones alike: after them, readers take a
        // braced entry for part of a name.
        const QByteArray entries = table.mid(table.indexOf("\\fonttbl") + 8).trimmed();
        const bool bare = !entries.isEmpty() && !entries.startsWith('{');
        const bool keptUnicodeSkip = table.contains("\\uc");
        for (const auto &[number, family] : m_fonts) {
            m_out += (bare ? "\\f" : "{\\f") + QByteArray::number(number);
            m_out += number == m_symbolFont ? "\\ftech\\fcharset2 " : "\\fnil ";
            if (const int codePage = m_fontCodePages.value(number))
                m_out += "\\cpg" + QByteArray::number(codePage) + ' ';
            // The kept table may have changed the count of fallbacks a \u skips.
            if (keptUnicodeSkip)
                m_out += "\\uc1 ";
            appendEscapedFontName(m_out, family);
            m_out += bare ? ";" : ";}";
        }
        m_out += "}\n";
    }

    void writeColorTable()
    {
        if (m_kept.hasProperty(ColorTableEntries)) {
            QByteArray table = keptTableOpen(ColorTableEntries);
            if (!m_colors.isEmpty() && !table.trimmed().endsWith(';'))
                table += ';';
            m_out += table;
        } else if (m_colors.isEmpty()) {
            return;
        } else {
            m_out += "{\\colortbl;";
        }
        for (QRgb rgb : m_colors) {
            m_out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        }
        m_out += "}\n";
    }

    void writeListTables()
    {
        bool any = false;
        for (bool used : m_listUsed)
            any = any || used;
        const bool kept = m_keptLists;
        if (!any && !kept)
            return;
        chooseListNumbers();
        m_out += kept ? keptTableOpen(ListTableGroup) : QByteArray("{\\*\\listtable");
        if (kept) {
            // Saved by us before: our lists are already among the file's.
            const QByteArray table = m_kept.property(ListTableGroup).toByteArray();
            for (int slot = 0; slot < ListSlots; ++slot) {
                if (table.contains("\\listid" + QByteArray::number(m_listIdBase + slot + 1) + '{'))
                    m_listUsed[slot] = false;
            }
        }
        for (int slot = 0; slot < ListSlots; ++slot) {
            if (!m_listUsed[slot])
                continue;
            m_out += "{\\list\\listtemplateid" + QByteArray::number(m_listIdBase + slot + 1) + "\\listsimple0";
            for (int level = 0; level < 9; ++level) {
                m_out += "{\\listlevel\\levelnfc" + QByteArray::number(levelFormat[slot]) + "\\levelnfcn"
                    + QByteArray::number(levelFormat[slot]) + "\\leveljc0\\levelstartat1\\levelfollow0";
                if (slot == BulletList)
                    m_out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
                else
                    m_out += "{\\leveltext\\'02\\'" + QByteArray::number(level, 16).rightJustified(2, '0') + ".;}{\\levelnumbers\\'01;}";
                m_out += "\\fi-" + QByteArray::number(ListIndentTwips) + "\\li"
                    + QByteArray::number(2 * ListIndentTwips * (level + 1)) + '}';
            }
            m_out += "\\listid" + QByteArray::number(m_listIdBase + slot + 1) + "{\\listname ;}}";
        }
        m_out += "}\n";
        m_out += kept ? keptTableOpen(ListOverrideTableGroup) : QByteArray("{\\*\\listoverridetable");
        for (int slot = 0; slot < ListSlots; ++slot) {
            if (m_listUsed[slot]) {
                m_out += "{\\listoverride\\listid" + QByteArray::number(m_listIdBase + slot + 1)
                    + "\\listoverridecount0\\ls" + QByteArray::number(m_listNumbers[slot]) + '}';
            }
        }
        m_out += "}\n";
    }

    // Our lists' \ls numbers: the one the file's override table already gives our list, from
    // an earlier save, else one it does not use for a list of its own.
    void chooseListNumbers()
    {
        const QHash<qint64, qint64> &overrides = m_keptOverrides;
        qint64 next = ListNumberBase;
        for (int slot = 0; slot < ListSlots; ++slot) {
            const qint64 ours = m_listIdBase + slot + 1;
            const auto given = std::find_if(overrides.cbegin(), overrides.cend(), [&](qint64 list) { return list == ours; });
            if (given != overrides.cend()) {
                m_listNumbers[slot] = given.key();
                continue;
            }
            while (overrides.contains(next + 1) && next < std::numeric_limits<int>::max())
                ++next;
            m_listNumbers[slot] = ++next;
        }
    }

    // Paragraphs and tables one after another, each paragraph ended by \par except the
    // last, which `lastEnd` ends (nothing in the body, \cell in a table).
    void writeFlow(QTextFrame::iterator it, int depth, const char *lastEnd)
    {
        while (!it.atEnd()) {
            QTextFrame::iterator next = it;
            ++next;
            const bool last = next.atEnd();
            if (QTextFrame *frame = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(frame))
                    writeTable(*table, heldTableDepth(depth + 1));
                else
                    writeFlow(frame->begin(), depth, "\\par\n");
                if (last) {
                    // Qt keeps a paragraph after every table; this only happens in frames we did not make.
                    writeParagraphStart(QTextBlockFormat(), depth);
                    m_out += ' ';
                    m_out += lastEnd;
                }
            } else if (heldBeforeTable(it.currentBlock(), next)) {
                // Not the file's: read back, Qt puts it there again.
            } else {
                m_nextBlockField = 0;
                if (!next.atEnd() && !next.currentFrame() && next.currentBlock().begin() != next.currentBlock().end())
                    m_nextBlockField = next.currentBlock().begin().fragment().charFormat().intProperty(FieldId);
                writeBlock(it.currentBlock(), depth);
                if (it.currentBlock().blockFormat().hasProperty(SectionEnd) && depth == 0)
                    m_out += "\\sect\n";
                else if (depth == 0 && !last && !next.currentFrame() && m_goesOnInNext && m_goesOnInNext(it.currentBlock()))
                    m_out += "\n"; // the paragraph words that follow change nothing
                else if (depth == 0 && !last && !next.currentFrame() && breaksAfterText(it.currentBlock(), next.currentBlock())) {
                    // Where the file had it: LibreOffice reads a \page after a paragraph's
                    // text otherwise than one before the next paragraph's.
                    m_out += "\\page\n";
                    m_pageBreakWritten = true;
                } else
                    m_out += last ? lastEnd : "\\par\n";
                if (std::exchange(m_markStyled, false))
                    m_out += "\\plain ";
            }
            it = next;
        }
    }

    void writeTable(const QTextTable &table, int depth)
    {
        const QTextTableFormat format = table.format();
        const int columns = table.columns();
        const QList<QTextLength> constraints = format.columnWidthConstraints();
        // A table without widths of its own shares out the room it has: the page, or for a
        // nested table the cell it sits in.
        const int room = m_room;
        std::vector<int> columnTwips;
        for (int column = 0; column < columns; ++column) {
            const QTextLength length = constraints.value(column);
            int twips = room / std::max(columns, 1);
            if (length.type() == QTextLength::FixedLength)
                twips = toTwips(length.rawValue());
            else if (length.type() == QTextLength::PercentageLength)
                twips = int(std::lround(room * length.rawValue() / 100.0));
            columnTwips.push_back(std::max(twips, 1));
        }
        const char *cellEnd = depth > 1 ? "\\nestcell " : "\\cell ";
        // A section that starts with a table: its words go before the table.
        const QTextBlockFormat first = table.cellAt(0, 0).firstCursorPosition().blockFormat();
        if (depth == 1 && first.hasProperty(SectionStart))
            m_out += first.property(SectionStart).toByteArray();
        for (int r = 0; r < table.rows(); ++r) {
            const KeptRow kept = keptRow(table, r, columnTwips);
            const QByteArray row = kept.cellsAt.empty() ? rowDefinition(table, r, columnTwips, depth, format.border() > 0)
                                                        : keptRowDefinition(table, r, kept, depth, format.border() > 0);
            // Older readers want the row's definition first, nested ones after its cells.
            if (depth == 1)
                m_out += row + '\n';
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                // The file's cells merged into this one, and those a cell to the left covers, stay empty.
                const int written = kept.cellsAt.empty() ? 1 : kept.cellsAt[std::size_t(c)];
                if (written == 0) {
                    continue;
                } else if (cell.row() == r && cell.column() == c) {
                    int cellTwips = 0;
                    for (int spanned = c; spanned < std::min(c + cell.columnSpan(), columns); ++spanned)
                        cellTwips += columnTwips[std::size_t(spanned)];
                    m_room = roomInCell(cellTwips);
                    writeFlow(cell.begin(), depth, cellEnd);
                    m_room = room;
                } else {
                    // Covered by a merged cell: every row keeps a cell in every column.
                    writeParagraphStart(QTextBlockFormat(), depth);
                    m_out += ' ';
                    m_out += cellEnd;
                }
                for (int merged = written; merged > 1; --merged) {
                    writeParagraphStart(QTextBlockFormat(), depth);
                    m_out += ' ';
                    m_out += cellEnd;
                }
            }
            if (depth == 1)
                m_out += "\\row\n";
            else
                m_out += "{\\*\\nesttableprops" + row + "\\nestrow}{\\nonesttables\\par}\n";
        }
    }

    // A row with cells that keep the edges the file gave them: for each column the number of
    // cells that start there (0 where a cell to the left covers it) and their \cellx in order.
    // A cell that keeps none, or was merged or split since, takes the table's columns. Nothing
    // when no cell keeps its edges, or the table's columns changed, or the edges would not
    // stand in order.
    struct KeptRow {
        int left = 0;
        std::vector<int> cellsAt;
        std::vector<int> rights;
    };
    static KeptRow keptRow(const QTextTable &table, int r, const std::vector<int> &columnTwips)
    {
        const int columns = table.columns();
        KeptRow row;
        row.cellsAt.assign(std::size_t(columns), 0);
        bool kept = false;
        bool leftOwn = false; // row.left is this row's, not a merged cell's first row's
        qint64 last = 0, columnRight = 0;
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table.cellAt(r, c);
            const QList<int> edges = cell.format().property(KeptCellEdges).value<QList<int>>();
            const int span = std::min(cell.columnSpan(), columns - c);
            if (edges.size() == 3 && edges[0] == columns && span == 1 && cell.firstPosition() == cell.lastPosition()) {
                // Past the end of the file's row, and still empty: the file had no cell here.
                columnRight += columnTwips[std::size_t(c)];
                kept = true;
            } else if (edges.size() >= 4 && edges[0] == columns && edges[1] == span) {
                // The row's first cell of the file gives its \trleft, also where the row started
                // right of the table's left and the file had no cells before it. A cell merged
                // down from a row above has that row's: one that starts in this row has its own.
                if (row.rights.empty())
                    row.left = edges[2], last = edges[2];
                else if (!leftOwn && cell.row() == r && edges[2] < row.rights.front())
                    row.left = edges[2];
                leftOwn = leftOwn || cell.row() == r;
                const int right = *std::max_element(edges.begin() + 3, edges.end());
                if (right <= last)
                    return {};
                last = right;
                row.cellsAt[std::size_t(c)] = int(edges.size() - 3);
                row.rights.insert(row.rights.end(), edges.begin() + 3, edges.end());
                kept = true;
                for (int k = c; k < c + span; ++k)
                    columnRight += columnTwips[std::size_t(k)];
            } else {
                row.cellsAt[std::size_t(c)] = span;
                for (int k = c; k < c + span; ++k) {
                    columnRight += columnTwips[std::size_t(k)];
                    if (columnRight <= last)
                        return {};
                    last = columnRight;
                    row.rights.push_back(int(columnRight));
                }
            }
            c += span;
        }
        return kept ? row : KeptRow();
    }

    static QByteArray keptRowDefinition(const QTextTable &table, int r, const KeptRow &kept, int depth, bool borders)
    {
        QByteArray row = "\\trowd\\trgaph" + QByteArray::number(CellGapTwips) + "\\trleft" + QByteArray::number(kept.left);
        if (depth > 1)
            row += "\\itap" + QByteArray::number(depth);
        std::size_t edge = 0;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            for (int k = 0; k < kept.cellsAt[std::size_t(c)]; ++k) {
                if (kept.cellsAt[std::size_t(c)] > 1)
                    row += k == 0 ? "\\clmgf" : "\\clmrg";
                if (cell.rowSpan() > 1)
                    row += r == cell.row() ? "\\clvmgf" : "\\clvmrg";
                if (borders)
                    row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
                row += "\\cellx" + QByteArray::number(kept.rights[edge++]);
            }
        }
        return row;
    }

    // One row's \trowd ... \cellx, with every column of the table. A merged cell is written
    // as the cells it covers, marked as Word 97 marks them: \clmgf then \clmrg across,
    // \clvmgf then \clvmrg down. Word and LibreOffice read both. Word now writes one wider
    // cell for a merge across instead, but then rows differ in their cells, and a reader
    // that does not lay rows on shared columns shows them out of line; with every column
    // in every row, even one that ignores the marks keeps the columns and the text.
    static QByteArray rowDefinition(const QTextTable &table, int r, const std::vector<int> &columnTwips,
                                    int depth, bool borders)
    {
        QByteArray row = "\\trowd\\trgaph" + QByteArray::number(CellGapTwips) + "\\trleft0";
        if (depth > 1)
            row += "\\itap" + QByteArray::number(depth);
        int right = 0;
        for (int c = 0; c < int(columnTwips.size()); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.columnSpan() > 1)
                row += c == cell.column() ? "\\clmgf" : "\\clmrg";
            if (cell.rowSpan() > 1)
                row += r == cell.row() ? "\\clvmgf" : "\\clvmrg";
            if (borders)
                row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            right += columnTwips[std::size_t(c)];
            row += "\\cellx" + QByteArray::number(right);
        }
        return row;
    }

    void writeParagraphStart(const QTextBlockFormat &format, int depth)
    {
        m_out += "\\pard";
        if (format.hasProperty(ParagraphStyleNumber))
            m_out += "\\s" + QByteArray::number(format.intProperty(ParagraphStyleNumber));
        if (depth > 0)
            m_out += "\\intbl\\itap" + QByteArray::number(depth);
        if (format.hasProperty(QTextFormat::BlockAlignment)) {
            const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
            const char *word = alignment & Qt::AlignRight     ? "\\qr"
                               : alignment & Qt::AlignHCenter ? "\\qc"
                               : alignment & Qt::AlignJustify ? "\\qj"
                                                              : nullptr;
            if (word && !fromStyle(format, word))
                m_out += word;
        }
    }

    // Paragraph words said again after a field ends in the paragraph: a \page there would
    // break the page once more, before the next paragraph.
    static QByteArray withoutPageBreak(QByteArray words)
    {
        for (qsizetype at = words.indexOf("\\page"); at >= 0; at = words.indexOf("\\page", at)) {
            const qsizetype end = at + 5;
            if (end < words.size() && std::isalpha(static_cast<unsigned char>(words[end])))
                at = end; // \pagebb: the paragraph's own, which holds
            else
                words.remove(at, 5);
        }
        return words;
    }

    // Whether a styled paragraph has this word from its style alone, so that it goes unsaid.
    static bool fromStyle(const QTextBlockFormat &format, const QByteArray &word)
    {
        return format.property(StyleParagraphWords).toByteArray().contains(word + ' ');
    }

    // Paragraph words the editing area keeps for the file: its style, line spacing, page
    // break, and tab stops, borders and shading as written.
    void writeKeptParagraph(const QTextBlockFormat &format)
    {
        if (format.hasProperty(QTextFormat::LineHeightType)) {
            const double height = format.lineHeight();
            switch (format.lineHeightType()) {
            case QTextBlockFormat::ProportionalHeight:
                m_out += "\\sl" + QByteArray::number(std::lround(height * 240.0 / 100.0)) + "\\slmult1";
                break;
            case QTextBlockFormat::MinimumHeight:
                m_out += "\\sl" + QByteArray::number(toTwips(height)) + "\\slmult0";
                break;
            case QTextBlockFormat::FixedHeight:
                m_out += "\\sl-" + QByteArray::number(toTwips(height)) + "\\slmult0";
                break;
            default:
                break;
            }
        }
        // Some readers start a new page style at a \page but not at a \pagebb.
        if (startsPage(format) && !std::exchange(m_pageBreakWritten, false))
            m_out += format.boolProperty(PageBreakWord) ? "\\page" : "\\pagebb";
        for (const int property : {int(TabWords), int(BorderWords), int(ShadingWords), int(FrameWords)}) {
            if (format.hasProperty(property))
                m_out += format.property(property).toByteArray();
        }
        if (!format.hasProperty(ShadingWords) && format.hasProperty(QTextFormat::BackgroundBrush)) {
            const QColor shading = brushColor(format, QTextFormat::BackgroundBrush);
            if (shading.isValid())
                m_out += "\\cbpat" + QByteArray::number(m_colorIndex.value(shading.rgb()));
        }
    }

    void writeBlock(const QTextBlock &block, int depth)
    {
        const QTextBlockFormat format = block.blockFormat();
        if (format.hasProperty(SectionStart) && depth == 0)
            m_out += format.property(SectionStart).toByteArray();
        // A paragraph with a style states everything but what it has from the style alone, so
        // that what the style sets and the paragraph does not have reads back as it is.
        m_styled = format.hasProperty(ParagraphStyleNumber);
        m_styleSets = format.intProperty(StyleCharacterWords);
        const qsizetype wordsFrom = m_out.size();
        const bool inFieldFromBefore = m_openField != 0;
        writeParagraphStart(format, depth);
        const int stated = m_styled ? ~0 : format.intProperty(StatedDefaults);
        if ((stated & GivesAlignment) && !(format.alignment() & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify))
            && !fromStyle(format, "\\ql"))
            m_out += "\\ql";
        const auto length = [&](const char *name, int twips, bool evenZero) {
            const QByteArray word = name + QByteArray::number(twips);
            if ((twips || evenZero) && !fromStyle(format, word))
                m_out += word;
        };
        const QTextList *list = block.textList();
        if (list) {
            writeListParagraph(block, *list);
        } else {
            // In a list level without a label, and so not a list here: the file's list, whose
            // indents the paragraph's own then override.
            // One that names no list of the file's has no list indents to override.
            const bool inKeptList = m_keptLists && format.hasProperty(ListOverrideNumber);
            const bool inKeptListLevel = inKeptList && m_keptOverrides.contains(format.intProperty(ListOverrideNumber));
            // So does a styled one: its style may name a list, which its own \ls undid.
            if (inKeptList || (m_styled && format.hasProperty(ListOverrideNumber)))
                m_out += "\\ls" + QByteArray::number(format.intProperty(ListOverrideNumber)) + "\\ilvl"
                    + QByteArray::number(format.intProperty(ListLevelNumber));
            const double left = format.leftMargin() + format.indent() * m_document.indentWidth();
            length("\\li", toTwips(left), (stated & GivesLeft) || inKeptListLevel);
            length("\\fi", toTwips(format.textIndent()), (stated & GivesFirst) || inKeptListLevel);
        }
        // In a list, LibreOffice takes the indents from the list unless the right one is
        // given too: so it goes back where the file gave it.
        length("\\ri", toTwips(format.rightMargin()), list ? format.boolProperty(RightIndentWord) : stated & GivesRight);
        length("\\sb", toTwips(format.topMargin()), stated & GivesBefore);
        length("\\sa", toTwips(format.bottomMargin()), stated & GivesAfter);
        writeKeptParagraph(format);
        // The style's character words must not reach the runs, nor paragraphs after it.
        if (m_styled)
            m_out += "\\plain";
        m_sharedWords = sharedRunWords(block);
        if (!m_sharedWords.isEmpty()) {
            if (!m_styled)
                m_out += "\\plain";
            m_out += m_sharedWords;
        }
        m_out += ' ';
        const QByteArray paragraphWords = inFieldFromBefore ? withoutPageBreak(m_out.mid(wordsFrom)) : QByteArray();
        m_paragraphWordsInField = paragraphWords;

        QString link;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat charFormat = fragment.charFormat();
            // Neighbouring runs of one link share one field, as Word writes them.
            const QString href = charFormat.isAnchor() ? charFormat.anchorHref() : QString();
            const bool linkChanges = href != link;
            const bool symbol = charFormat.hasProperty(FieldId) && charFormat.boolProperty(FieldSymbol);
            // Text typed into a SYMBOL field's result would be skipped as its result: it is
            // saved as text, the character too.
            const int field = symbol && !isSymbolAlone(block.begin(), it) ? 0 : charFormat.intProperty(FieldId);
            if ((linkChanges || field != m_openField) && !link.isEmpty()) {
                m_out += "}}";
                link.clear();
            }
            if (field != m_openField && m_openField) {
                m_out += m_fieldClose;
                m_openField = 0;
                // The field's group held this paragraph's words since the paragraph before;
                // they must still hold at its end.
                if (inFieldFromBefore)
                    m_out += paragraphWords;
            }
            // What stood before the run goes back before it, once, however the run was split.
            if (charFormat.hasProperty(KeptBefore) && !m_keptWritten.contains(charFormat.intProperty(KeptBeforeId))) {
                m_keptWritten.insert(charFormat.intProperty(KeptBeforeId));
                m_out += charFormat.property(KeptBefore).toByteArray();
            }
            if (symbol && field && field != m_openField) {
                // Its readers take the character from the instruction: the result stays empty,
                // as the file had it, or they show it twice. In the run's own formatting.
                if (href != link) {
                    if (!href.isEmpty())
                        writeFieldStart(href);
                    link = href;
                }
                // The instruction names the character's font, which around it would change
                // what the character is: a symbol font reads it as another code.
                QTextCharFormat around = charFormat;
                if (namesFont(charFormat.property(FieldInstruction).toByteArray(), familyOf(charFormat)))
                    around.clearProperty(QTextFormat::FontFamilies);
                m_out += '{';
                m_out += characterProperties(around);
                m_out += "{\\field";
                m_out += charFormat.property(FieldInstruction).toByteArray();
                m_out += "{\\fldrslt }}}";
                continue;
            }
            if (field != m_openField) {
                if (field) {
                    // A field other than a link: its instruction as written, its result as shown.
                    // LibreOffice shows a field it works out itself (SEQ, PAGE) in the formatting
                    // the field stands in, not its result's: a result of one run goes in a group
                    // with that run's words, as Word has it.
                    m_fieldClose = "}}";
                    if (oneRunResult(it, field)) {
                        const QByteArray &around = propertiesOf(fragment.charFormatIndex(), charFormat);
                        if (!around.isEmpty()) {
                            m_out += '{';
                            m_out += around;
                            m_out += ' ';
                            m_fieldClose += QByteArray(1 + around.count('{'), '}');
                        }
                    }
                    m_out += "{\\field";
                    m_out += charFormat.property(FieldInstruction).toByteArray();
                    m_out += "{\\fldrslt ";
                }
                m_openField = field;
            }
            if (href != link) {
                if (!href.isEmpty())
                    writeFieldStart(href);
                link = href;
            }
            if (const int wrap = charFormat.intProperty(WrappedId)) {
                // What a field, object or shape showed: the group goes back as it was, once.
                const QByteArray group = charFormat.property(WrappedGroup).toByteArray();
                if (!group.isEmpty()) {
                    if (!m_wrapsWritten.contains(wrap)) {
                        m_wrapsWritten.insert(wrap);
                        // In the formatting it was opened in, which what it shows was read in
                        // under its own words.
                        m_out += '{';
                        const QByteArray properties = characterProperties(wrapOpenedIn(charFormat));
                        m_out += properties;
                        m_out += group; // starts with a brace: nothing to end the words
                        m_out += QByteArray(1 + properties.count('{'), '}');
                    }
                    continue;
                }
            }
            const QByteArray &properties = propertiesOf(fragment.charFormatIndex(), charFormat);
            // Without the words the paragraph already gave; the group the rest began with, if
            // any, is the run's own.
            QByteArrayView own = properties;
            if (!m_sharedWords.isEmpty()) {
                own = own.sliced(m_sharedWords.size());
                if (own.startsWith('{'))
                    own = own.sliced(1);
            }
            if (!properties.isEmpty()) {
                // Appended piece by piece: '{' + properties built a temporary per run.
                m_out += '{';
                // The words around a field go before its result's own, which read back
                // as the run's words since \plain.
                const bool restated = field && fieldWrapped();
                if (restated) {
                    m_out += "\\plain";
                    // \plain leaves a group's shading words, which the words around gave.
                    if (const QByteArray shading = charFormat.property(GroupShadingWords).toByteArray();
                        !shading.isEmpty() && own.endsWith(shading))
                        own.chop(shading.size());
                }
                m_out += own;
                if (!own.isEmpty() || restated)
                    m_out += ' ';
            }
            if (charFormat.isImageFormat()) {
                for (const QChar c : fragment.text()) {
                    if (c == QChar::ObjectReplacementCharacter)
                        writePicture(charFormat.toImageFormat());
                }
            } else if (charFormat.hasProperty(NoteId)) {
                // A note's mark: the number is its readers' to work out, the note follows it.
                const int note = charFormat.intProperty(NoteId);
                if (!m_notesWritten.contains(note)) {
                    m_notesWritten.insert(note);
                    m_out += "\\chftn";
                    m_out += charFormat.property(NoteGroup).toByteArray();
                    if (!charFormat.hasProperty(NoteGroup))
                        m_out += ' '; // text may follow
                }
            } else if (inSymbolFont(charFormat)) {
                appendEscapedSymbolText(m_out, fragment.text());
            } else {
                writeText(fragment.text(), false);
            }
            if (!properties.isEmpty())
                m_out += QByteArray(1 + own.count('{'), '}');
        }
        if (!link.isEmpty())
            m_out += "}}";
        // A field's result holds the ends of its paragraphs, as Word writes it, so that each
        // paragraph ends with the formatting it was given; but a cell's end and the
        // document's stay outside it. A field the next paragraph does not go on in ends
        // before this one's end, as readers end a field's shown text at the end of a
        // paragraph in its result, and before the groups after its last run: in the field,
        // they would read back as part of its result.
        if (m_openField && m_openField != m_nextBlockField) {
            m_out += m_fieldClose;
            m_openField = 0;
            // The field's group held this paragraph's words since the paragraph before;
            // they must still hold at its end.
            m_out += std::exchange(m_paragraphWordsInField, QByteArray());
        }
        // The paragraph's words end with it, as they would with the runs' groups.
        if (!std::exchange(m_sharedWords, QByteArray()).isEmpty())
            m_out += "\\plain ";
        if (format.hasProperty(KeptAtEnd))
            m_out += format.property(KeptAtEnd).toByteArray();
        // Other readers show an empty paragraph's mark in its character style; the words
        // after the paragraph's end take it off again.
        if (format.hasProperty(MarkCharacterStyle) && block.length() == 1) {
            m_out += "\\cs" + QByteArray::number(format.intProperty(MarkCharacterStyle)) + ' ';
            m_markStyled = true;
        }
        m_styled = false;
        m_styleSets = 0;
    }

    // The paragraph Qt keeps before a table the text starts with, still empty and unchanged.
    static bool heldBeforeTable(const QTextBlock &block, QTextFrame::iterator next)
    {
        const QTextBlockFormat format = block.blockFormat();
        return format.boolProperty(HeldBeforeTable) && format.propertyCount() == 1 && block.length() == 1
            && !next.atEnd() && qobject_cast<QTextTable *>(next.currentFrame()) && !block.previous().isValid();
    }

    // Whether the \page before `next` goes at the end of `block`, as it stood: the text there
    // ends the paragraph at the \page when read back.
    static bool breaksAfterText(const QTextBlock &block, const QTextBlock &next)
    {
        const QTextBlockFormat format = next.blockFormat();
        return block.length() > 1 && startsPage(format)
            && format.boolProperty(PageBreakWord) && format.boolProperty(PageBreakAfterText);
    }

    // Whether the open field stands in a group of its result's words, which its close ends too.
    bool fieldWrapped() const { return m_fieldClose.size() > 2; }

    // Whether the field starting at `it` shows one run of text and ends in this paragraph.
    bool oneRunResult(QTextBlock::iterator it, int field) const
    {
        const QTextFragment first = it.fragment();
        const QTextCharFormat format = first.charFormat();
        if (format.isImageFormat() || format.hasProperty(WrappedId) || format.hasProperty(NoteId))
            return false;
        for (++it; !it.atEnd(); ++it) {
            if (it.fragment().charFormat().intProperty(FieldId) != field)
                return true;
            if (it.fragment().charFormatIndex() != first.charFormatIndex())
                return false;
        }
        return m_nextBlockField != field;
    }

    // Whether a field's instruction, as written, gives `family` with its \f option: a quoted
    // name elsewhere in it names no font.
    static bool namesFont(const QByteArray &instruction, const QString &family)
    {
        const QByteArray lower = instruction.toLower();
        const QByteArray quoted = '"' + family.toLower().toUtf8() + '"';
        for (qsizetype at = lower.indexOf("\\\\f"); at >= 0; at = lower.indexOf("\\\\f", at + 1)) {
            qsizetype name = at + 3;
            while (name < lower.size() && lower.at(name) == ' ')
                ++name;
            if (QByteArrayView(lower).sliced(name).startsWith(quoted))
                return true;
        }
        return false;
    }

    // Whether the run is all its SYMBOL field shows: the one character, as read.
    static bool isSymbolAlone(const QTextBlock::iterator &begin, QTextBlock::iterator it)
    {
        const QString text = it.fragment().text();
        const int field = it.fragment().charFormat().intProperty(FieldId);
        if (text.size() > 2 || (text.size() == 2 && !text.front().isHighSurrogate()))
            return false;
        auto next = it;
        ++next;
        if (!next.atEnd() && next.fragment().charFormat().intProperty(FieldId) == field)
            return false;
        if (it != begin) {
            auto previous = it;
            --previous;
            if (previous.fragment().charFormat().intProperty(FieldId) == field)
                return false; // typed before it in another format
        }
        return true;
    }

    void writeFieldStart(const QString &href)
    {
        // Inside the quotes a backslash or quote is escaped with a backslash, as in Word's
        // field codes. A target read from a file can hold control characters, which text
        // never does: they go as \'hh, which the reader takes into an instruction as they are.
        QString target;
        m_out += "{\\field{\\*\\fldinst HYPERLINK \"";
        for (const QChar c : href) {
            if (c.unicode() < 0x20 && c != u'\t') {
                writeText(std::exchange(target, QString()), false);
                m_out += "\\'" + QByteArray::number(c.unicode(), 16).rightJustified(2, '0');
                continue;
            }
            if (c == u'\\' || c == u'"')
                target += u'\\';
            target += c;
        }
        writeText(target, false);
        m_out += "\"}{\\fldrslt ";
    }

    void writePicture(const QTextImageFormat &format)
    {
        QByteArray data = format.property(PictureData).toByteArray();
        const int kind = format.hasProperty(PictureKind) ? format.intProperty(PictureKind) : -1;
        if (kind == int(Picture::Kind::Other)) {
            // Kept as it came: the same words and bytes, whatever the screen showed.
            m_out += "{\\pict" + format.property(PictureProperties).toByteArray() + format.property(PictureWords).toByteArray() + '\n';
            writeHex(data);
            m_out += '}';
            return;
        }
        bool png = kind == int(Picture::Kind::Png);
        if (kind < 0) {
            // A picture that did not come from RTF: take the document's own image.
            const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
            if (resource.userType() == QMetaType::QByteArray) {
                data = resource.toByteArray();
                png = data.startsWith("\x89PNG");
                if (!png && !data.startsWith("\xFF\xD8"))
                    data = pngOf(QImage::fromData(data));
            } else if (resource.userType() == QMetaType::QImage || resource.userType() == QMetaType::QPixmap) {
                data = pngOf(qvariant_cast<QImage>(resource));
            }
            if (data.startsWith("\x89PNG"))
                png = true;
        }
        if (data.isEmpty())
            return;
        QBuffer buffer(&data);
        const QSize pixels = QImageReader(&buffer).size();
        int width = int(std::lround(format.width()));
        int height = int(std::lround(format.height()));
        if (width <= 0)
            width = std::max(pixels.width(), 1);
        if (height <= 0)
            height = std::max(pixels.height(), 1);
        m_out += "{\\pict" + format.property(PictureProperties).toByteArray() + (png ? "\\pngblip" : "\\jpegblip");
        m_out += "\\picw" + QByteArray::number(pixels.isValid() ? pixels.width() : width) + "\\pich"
            + QByteArray::number(pixels.isValid() ? pixels.height() : height) + "\\picwgoal"
            + QByteArray::number(toTwips(width)) + "\\pichgoal" + QByteArray::number(toTwips(height)) + '\n';
        writeHex(data);
        m_out += '}';
    }

    static QByteArray pngOf(const QImage &image)
    {
        QByteArray bytes;
        if (image.isNull())
            return bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    void writeHex(QByteArrayView data)
    {
        static constexpr char digits[] = "0123456789abcdef";
        const qsizetype start = m_out.size();
        m_out.resize(start + data.size() * 2 + data.size() / 64 + 1);
        char *out = m_out.data() + start;
        for (qsizetype i = 0; i < data.size(); ++i) {
            const auto byte = std::uint8_t(data[i]);
            *out++ = digits[byte >> 4];
            *out++ = digits[byte & 15];
            if (i % 64 == 63)
                *out++ = '\n';
        }
        m_out.truncate(out - m_out.data());
    }

    void writeListParagraph(const QTextBlock &block, const QTextList &list)
    {
        const QTextListFormat listFormat = list.format();
        const ListSlot slot = slotFor(listFormat.style());
        const int level = std::clamp(listFormat.indent() - 1, 0, 8);
        // Old readers take the marker from \pntext and the \pn group; newer ones from the
        // list table through \ls. Each kind of reader skips the other's words.
        if (slot == BulletList) {
            m_out += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf" + QByteArray::number(m_symbolFont)
                + "\\pnindent0{\\pntxtb\\'B7}}";
        } else {
            m_out += "{\\pntext ";
            writeText(list.itemText(block), false);
            m_out += "\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1";
            m_out += pnFormat[slot];
            m_out += "{\\pntxta .}}";
        }
        const QTextBlockFormat format = block.blockFormat();
        if (m_keptLists && format.hasProperty(ListOverrideNumber)) {
            // The file's own list, with its numbering and start.
            m_out += "\\ls" + QByteArray::number(format.intProperty(ListOverrideNumber)) + "\\ilvl"
                + QByteArray::number(format.intProperty(ListLevelNumber));
        } else {
            m_out += "\\ls" + QByteArray::number(m_listNumbers[slot]) + "\\ilvl" + QByteArray::number(level);
        }
        // The file's own indents where it gave them, else ours.
        // Where the file gave \\lin and no \\fi, the first indent is the list level's.
        const bool firstStated = format.hasProperty(ListFirstIndent) || !format.hasProperty(ListLeftIndent);
        if (firstStated)
            m_out += "\\fi" + QByteArray::number(format.hasProperty(ListFirstIndent) ? format.intProperty(ListFirstIndent) : -ListIndentTwips);
        m_out += (firstStated ? "\\li" : "\\lin") + QByteArray::number(format.hasProperty(ListLeftIndent) ? format.intProperty(ListLeftIndent)
                                                                              : 2 * ListIndentTwips * (level + 1));
    }

    // The words every run of the paragraph starts with, when each keeps its file's words: those
    // the file gave once, before its runs' groups, and which go back there, once. Up to the
    // first group, whose words are each run's own. Empty when runs differ or state their own.
    QByteArray sharedRunWords(const QTextBlock &block)
    {
        QByteArray shared;
        int runs = 0;
        // A field's group may reach into another paragraph, and what it closes on would
        // carry the words past this one.
        if (m_openField)
            return {};
        for (auto it = block.begin(); !it.atEnd(); ++it, ++runs) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(ScriptWords) || format.hasProperty(FieldId))
                return {};
            const QByteArray words = format.property(ScriptWords).toByteArray();
            const QByteArray &properties = propertiesOf(fragment.charFormatIndex(), format);
            if (words.isEmpty() || !properties.startsWith(words))
                return {}; // the run's look changed: it states its own
            if (runs == 0)
                shared = words.left(words.indexOf('{') < 0 ? words.size() : words.indexOf('{'));
            // Read again, a run's group marks where its own words begin.
            if (shared.isEmpty() || !words.startsWith(shared)
                || (words.size() > shared.size() && words[shared.size()] != '{'))
                return {};
        }
        return runs > 1 ? shared : QByteArray();
    }

    // Documents use few formats over many runs: each one's words are made once per
    // paragraph style context.
    const QByteArray &propertiesOf(int formatIndex, const QTextCharFormat &format)
    {
        const quint64 key = quint64(quint32(formatIndex)) << 32 | quint32(m_styleSets);
        auto found = m_propertiesByFormat.constFind(key);
        if (found == m_propertiesByFormat.constEnd())
            found = m_propertiesByFormat.insert(key, characterProperties(format));
        return *found;
    }

    // A run an object or shape shows: the format the group was opened in, where it is known.
    static QTextCharFormat wrapOpenedIn(const QTextCharFormat &format)
    {
        if (!format.hasProperty(WrappedOpenedIn))
            return format;
        const QTextCharFormat opened = format.property(WrappedOpenedIn).value<QTextFormat>().toCharFormat();
        return opened.isValid() ? opened : format;
    }

    QByteArray characterProperties(const QTextCharFormat &format) const
    {
        QByteArray p;
        // Under a style, a run states what it does not have of what the style sets.
        const int complete = format.hasProperty(CharacterStyle) ? ~0 : m_styleSets;
        // The file's own words for what they decide, while the run still looks as they made it:
        // they hold every word that set these since \plain, the styles' too, and the rest is unset.
        const bool scripted = format.hasProperty(ScriptWords) && m_kept.hasProperty(FontTableEntries)
            && format.stringProperty(ScriptWordsLook) == characterLook(format);
        if (format.hasProperty(CharacterStyle) && !scripted)
            p += "\\cs" + QByteArray::number(format.intProperty(CharacterStyle));
        const QByteArray words = scripted ? format.property(ScriptWords).toByteArray() : QByteArray();
        const QString family = familyOf(format);
        if (scripted) {
            // named by the words
        } else if (!family.isEmpty())
            p += "\\f" + QByteArray::number(m_fontIndex.value(family));
        else if (m_defaultFontNamed)
            p += "\\f0"; // the typeface it was shown in, named so that it reads back the same
        else if (m_noFont >= 0)
            p += "\\f" + QByteArray::number(m_noFont); // no entry: reads back as no typeface
        if (scripted) {
            // given by the words
        } else if (format.hasProperty(QTextFormat::FontPointSize)) {
            const int halfPoints = int(std::lround(format.fontPointSize() * 2));
            if (halfPoints > 0)
                p += "\\fs" + QByteArray::number(halfPoints);
        } else if (!format.isImageFormat() && m_defaultHalfPoints > 0 && !m_kept.hasProperty(DocumentHeader)) {
            // Text typed with no size of its own was shown in the document's; text read
            // without one keeps having none.
            p += "\\fs" + QByteArray::number(m_defaultHalfPoints);
        }
        if (scripted) {
            // given by the words
        } else if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold)
            p += "\\b";
        else if (complete & SetsBold)
            p += "\\b0";
        if (scripted) {
            // given by the words
        } else if (format.fontItalic())
            p += "\\i";
        else if (complete & SetsItalic)
            p += "\\i0";
        if (const auto shown = format.underlineStyle(); shown != QTextCharFormat::NoUnderline
                                                      && shown != QTextCharFormat::SpellCheckUnderline) {
            // The file's own kind while the line is still the one drawn for it.
            const auto kind = std::size_t(format.intProperty(UnderlineWord));
            const bool kept = kind > 0 && kind < underlineKinds.size() && underlineKinds[kind].shown == shown;
            p += '\\';
            const std::string_view word = kept ? underlineKinds[kind].word : underlineWordFor(shown);
            p += QByteArrayView(word.data(), qsizetype(word.size()));
        }
        else if (complete & SetsUnderline)
            p += "\\ulnone";
        if (format.fontStrikeOut())
            p += "\\strike";
        else if (complete & SetsStrike)
            p += "\\strike0";
        if (complete & SetsHidden)
            p += "\\v0"; // text shown here is not hidden
        if (format.hasProperty(Language) && !scripted)
            p += "\\lang" + QByteArray::number(format.intProperty(Language));
        if (format.hasProperty(RaiseHalfPoints)) {
            const int raise = format.intProperty(RaiseHalfPoints);
            p += (raise < 0 ? "\\dn" : "\\up") + QByteArray::number(std::abs(raise));
        }
        const QColor foreground = brushColor(format, QTextFormat::ForegroundBrush);
        if (foreground.isValid())
            p += "\\cf" + QByteArray::number(m_colorIndex.value(foreground.rgb()));
        else if (complete & SetsColor)
            p += "\\cf0";
        const QColor background = brushColor(format, QTextFormat::BackgroundBrush);
        if (background.isValid()) {
            const QByteArray index = QByteArray::number(m_colorIndex.value(background.rgb()));
            p += "\\cb" + index + "\\highlight" + index;
        }
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            p += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            p += "\\sub";
        else if (format.hasProperty(CharacterStyle))
            p += "\\nosupersub"; // the style may raise or lower its text
        // First: the run's other words override what a character style named in them gives,
        // and are the same in every script. Each { in them stands for a group that began
        // there, which the run's end closes.
        p.prepend(words);
        // Last, so that no paragraph takes them for words all its runs share.
        if (format.hasProperty(GroupShadingWords))
            p += format.property(GroupShadingWords).toByteArray();
        return p;
    }

    // Whether a run is written in a font the file's table gave \\fcharset2, or in our own Symbol.
    bool inSymbolFont(const QTextCharFormat &format) const
    {
        if (m_symbolFonts.isEmpty() || (format.hasProperty(ScriptWords) && m_kept.hasProperty(FontTableEntries)))
            return false; // words as written name the font: left to \\u, which any font reads alike
        const auto found = m_fontIndex.constFind(familyOf(format));
        return found != m_fontIndex.cend() && m_symbolFonts.contains(*found);
    }

    void writeText(QStringView text, bool fontName)
    {
        if (fontName)
            appendEscapedFontName(m_out, text);
        else
            appendEscapedText(m_out, text);
    }

    const QTextDocument &m_document;
    const std::function<bool(const QTextBlock &)> &m_goesOnInNext;
    QByteArray m_out;
    int m_room = PageTextWidthTwips; // the width a table without widths shares out
    const QTextFrameFormat m_kept = m_document.rootFrame()->frameFormat();
    QList<std::pair<int, QString>> m_fonts; // entries written after the file's own
    int m_nextFont = 0;
    QHash<QString, int> m_fontIndex;
    QSet<int> m_takenFontNumbers;           // the file's and kept words' numbers, and those given
    QHash<int, int> m_fontCodePages;        // the code page of entries a later table of the file gave one
    QSet<int> m_symbolFonts;                // entries with \\fcharset2, ours included
    QList<QRgb> m_colors;                   // entries written after the file's own
    qsizetype m_colorCount = 0;
    // Our lists, with numbers a file's own lists do not use: they go after the file's.
    static constexpr int m_listIdBase = 1999000000;
    static constexpr qint64 ListNumberBase = 1000;
    std::array<qint64, ListSlots> m_listNumbers{1001, 1002, 1003, 1004, 1005, 1006};
    bool m_keptLists = false;
    QHash<qint64, qint64> m_keptOverrides; // the file's \ls numbers, with the \listid each names
    int m_defaultHalfPoints = int(std::lround(std::max(m_document.defaultFont().pointSizeF(), 0.0) * 2));
    bool m_styled = false;
    QHash<quint64, QByteArray> m_propertiesByFormat;
    int m_styleSets = 0;
    QByteArray m_sharedWords; // what sharedRunWords gave the paragraph being written
    bool m_defaultFontNamed = false;
    // A font number the file's table does not have, for text it gave no known typeface.
    static constexpr int NoFontNumber = 32767;
    int m_noFont = -1;
    QSet<int> m_keptWritten;
    QSet<int> m_notesWritten;
    QSet<int> m_wrapsWritten;

    int m_openField = 0;      // the field whose result is being written
    QByteArray m_fieldClose;  // what ends the open field's group, and the group around it if any
    bool m_pageBreakWritten = false; // the next paragraph's \page ended the one before it
    bool m_markStyled = false; // the paragraph written ends in a character style, which its end must take off
    QByteArray m_paragraphWordsInField; // the words of a paragraph that began in the open field
    int m_nextBlockField = 0; // the field the next paragraph starts in
    QHash<QRgb, int> m_colorIndex;
    std::array<bool, ListSlots> m_listUsed{};
    int m_symbolFont = -1;
};

} // namespace

QByteArray write(const QTextDocument &document, const std::function<bool(const QTextBlock &)> &goesOnInNext)
{
    return Writer(document, goesOnInNext).run();
}

} // namespace rtf
