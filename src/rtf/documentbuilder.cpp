#include "rtf/documentbuilder.h"

#include "app/twips.h"
#include "rtf/keptformat.h"
#include "rtf/pictureformat.h"
#include "rtf/tablelayout.h"
#include "rtf/tabstops.h"
#include "rtf/underline.h"
#include "rtf/tablemetrics.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <bit>
#include <cstring>

namespace rtf {

namespace {

// The one program-wide figure, as a double: lengths in documents keep their fractions.
constexpr double TwipsPerPixel = ::TwipsPerPixel;
constexpr double TwipsPerHundredthMillimetre = 1440.0 / 2540.0;

// Qt touches every item of a list whenever one is added, so building a list costs the
// square of its length. Long lists are therefore split (numbering restarts, bullets look
// the same), and past a document-wide budget list paragraphs become plain indented ones.
constexpr int MaxListLength = 500;
constexpr qsizetype MaxRememberedFormats = 4096;
constexpr int MaxListParagraphs = 20000;

// Qt finds a format's place in the document's collection by a hash that adds up its
// properties' hashes, and hashes a list of typefaces by its type alone. Formats that differ
// only in typeface, or in a text and background colour with the same sum, then share one
// hash and are told apart one by one: a file with many of them takes the square of their
// number to read. Each format therefore carries a well-mixed hash of the style it shows,
// which Qt adds in; it means nothing to anything else.
constexpr int StyleKey = QTextFormat::UserProperty + 0x5400;

// Qt inserts a copy of the format it is given and hashes the copy to find it among the
// document's formats: a copy keeps the hash only where the original had worked it out.
// Compared with a format that holds other properties, a format works out its hash and
// keeps it, so each remembered format is hashed once rather than on every insert.
template <typename Format>
Format withHash(const Format &format)
{
    Format other;
    other.setProperty(QTextFormat::UserProperty, true);
    [[maybe_unused]] const bool same = format == other;
    return format;
}

// Pictures larger than this on screen are shown at this size (their bytes are kept).
constexpr int MaxPictureSide = 10000;
// Placeholders are drawn at their size while they fit this budget, then share a small one.
constexpr qint64 MaxPlaceholderPixels = 64 * 1024 * 1024;

// Kept words go on a format only where the file had some.
void setIfGiven(QTextFormat &format, int property, const QByteArray &value)
{
    if (!value.isEmpty())
        format.setProperty(property, value);
}

QTextListFormat::Style listStyle(ListKind kind)
{
    switch (kind) {
    case ListKind::Decimal: return QTextListFormat::ListDecimal;
    case ListKind::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case ListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

// A picture's size on the page in twips, from what the file says and, for bitmaps it does
// not size, from the image itself.
double pictureTwips(int goal, int extent, int imagePixels, int scale, bool bitmap)
{
    double twips = 0;
    if (goal > 0)
        twips = goal;
    else if (bitmap && imagePixels > 0)
        twips = imagePixels * TwipsPerPixel;
    else if (extent > 0)
        twips = extent * TwipsPerHundredthMillimetre;
    else
        twips = 1440; // an inch: a picture of unknown size is still there to see
    if (scale > 0)
        twips = twips * scale / 100.0;
    return twips;
}

int pixelsOf(double twips)
{
    return int(std::clamp(twips / TwipsPerPixel, 1.0, double(MaxPictureSide)) + 0.5);
}

// A table depth from the reader, held to what the builder nests: `least` 0 for any
// paragraph, 1 where a cell or row must be in a table.
std::size_t heldDepth(int depth, std::size_t least)
{
    return std::max(std::size_t(heldTableDepth(depth)), least);
}

} // namespace

namespace {

// Mixes a style's fields and strings into a lookup hash inline. Every run looks its format up
// by style, and Qt's qHashMulti, with a call for each field and string, cost more than all
// the rest of the lookup.
class StyleMix
{
public:
    explicit StyleMix(size_t seed) : m_state(seed) {}

    void addNumber(quint64 value) { m_state = (std::rotl(m_state, 26) ^ value) * 0x9E3779B97F4A7C15ull; }
    void addBytes(const void *data, qsizetype size)
    {
        addNumber(quint64(size));
        const auto *bytes = static_cast<const char *>(data);
        for (; size >= 8; bytes += 8, size -= 8) {
            quint64 chunk;
            std::memcpy(&chunk, bytes, 8);
            addNumber(chunk);
        }
        if (size > 0) {
            quint64 tail = 0;
            std::memcpy(&tail, bytes, std::size_t(size));
            addNumber(tail);
        }
    }
    void addString(const QString &text) { addBytes(text.constData(), text.size() * qsizetype(sizeof(QChar))); }
    void addColor(const QColor &color) { addNumber(color.isValid() ? quint64(color.rgba()) | 1ull << 32 : 0); }

    // QHash picks a bucket by the low bits, which multiplying alone leaves poorly mixed:
    // MurmurHash3's finalizer spreads the high bits down.
    size_t value() const
    {
        quint64 h = m_state;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ull;
        h ^= h >> 33;
        return size_t(h);
    }

private:
    quint64 m_state;
};

} // namespace

// Kept groups can be large: their sizes are hashed and their bytes left to the comparison.
static size_t qHash(const TextStyle &style, size_t seed = 0)
{
    StyleMix mix(seed);
    mix.addString(style.family);
    mix.addNumber(quint64(quint32(style.halfPoints)) << 32 | quint32(style.underlineKind));
    mix.addColor(style.foreground);
    mix.addColor(style.background);
    mix.addNumber(quint64(style.bold) | quint64(style.italic) << 1 | quint64(style.underline) << 2
                  | quint64(style.strike) << 3 | quint64(style.position) << 4);
    mix.addString(style.link);
    mix.addNumber(quint64(quint32(style.language)) << 32 | quint32(style.characterStyle));
    mix.addNumber(quint64(quint32(style.raise)) << 32 | quint32(style.noteId));
    mix.addNumber(quint64(quint32(style.keptId)) << 32 | quint32(style.fieldId));
    mix.addNumber(quint64(quint32(style.wrapId)) << 32 | quint32(style.note.size()));
    mix.addNumber(quint64(style.keptBefore.size()) << 32 | quint64(style.wrapped.size()));
    mix.addBytes(style.scriptWords.constData(), style.scriptWords.size());
    return mix.value();
}

// The key each format carries for Qt's own hashing (see StyleKey): computed once per format,
// from every field through Qt's hashing.
static int styleKey(const TextStyle &style)
{
    return int(qHashMulti(0, style.family, style.halfPoints, style.foreground.rgba(), style.background.rgba(),
                      style.foreground.isValid(), style.background.isValid(),
                      int(style.bold) | int(style.italic) << 1 | int(style.underline) << 2 | int(style.strike) << 3,
                      style.underlineKind,
                      int(style.position), style.link, style.language, style.characterStyle, style.raise,
                      style.noteId, style.note.size(), style.keptId, style.keptBefore.size(), style.fieldId,
                      style.wrapId, style.wrapped.size(), style.scriptWords));
}

static size_t qHash(const ParagraphStyle &style, size_t seed = 0)
{
    const auto pair = [](int high, int low) { return quint64(quint32(high)) << 32 | quint32(low); };
    StyleMix mix(seed);
    mix.addNumber(pair(int(style.alignment) | int(style.list) << 8 | int(style.rightIndentGiven) << 16
                           | int(style.lineMultiple) << 17 | int(style.pageBreakBefore) << 18
                           | int(style.pageBreakWord) << 19 | int(style.pageBreakAfterText) << 20
                           | int(style.sectionEnd) << 21,
                       style.givenWords));
    mix.addNumber(pair(style.leftIndent, style.rightIndent));
    mix.addNumber(pair(style.firstLineIndent, style.spaceBefore));
    mix.addNumber(pair(style.spaceAfter, style.listLevel));
    mix.addNumber(pair(style.tableDepth, style.listOverride));
    mix.addNumber(pair(style.listOverrideLevel, style.styleNumber));
    mix.addNumber(pair(style.styleSets, style.lineSpacing));
    mix.addNumber(pair(style.markCharacterStyle, int(style.borders.size())));
    mix.addColor(style.shading);
    mix.addBytes(style.tabs.constData(), style.tabs.size());
    mix.addNumber(pair(int(style.shadingWords.size()), int(style.frameWords.size())));
    mix.addNumber(pair(int(style.sectionStart.size()), int(style.keptAtEnd.size())));
    return mix.value();
}

DocumentBuilder::DocumentBuilder(QTextDocument &document)
    : m_document(document), m_cursor(&document), m_undoWasEnabled(document.isUndoRedoEnabled()),
      m_room(PageTextWidthTwips)
{
    // Building is not an edit the user can undo, and recording it would double memory.
    m_document.setUndoRedoEnabled(false);
    m_cursor.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder()
{
    if (!m_finished)
        m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undoWasEnabled);
}

namespace {

// Whether text in `next` carries on the run in `last`: what was kept before a run stays
// before it when more of the run follows.
bool continuesRun(const TextStyle &last, const TextStyle &next)
{
    if (last == next)
        return true;
    if (!last.keptId || next.keptId)
        return false;
    TextStyle continued = next;
    continued.keptBefore = last.keptBefore;
    continued.keptId = last.keptId;
    return last == continued;
}

} // namespace

void DocumentBuilder::text(QStringView text, TextStyle &&style)
{
    if (!m_runs.empty() && !m_runs.back().picture && continuesRun(m_runs.back().style, style)) {
        m_runs.back().text.append(text);
        return;
    }
    m_runs.push_back(Run{std::move(style), text.toString(), nullptr});
}

void DocumentBuilder::picture(const Picture &picture, const TextStyle &style)
{
    m_runs.push_back(Run{style, QString(), std::make_unique<Picture>(picture)});
}

void DocumentBuilder::note(int noteId, const QByteArray &group, const QString &number)
{
    for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run) {
        if (run->style.noteId == noteId) {
            run->style.note = group;
            if (!number.isEmpty())
                run->text = number;
            return;
        }
    }
}

void DocumentBuilder::wrapped(int wrapId, const QByteArray &group, const TextStyle &openedIn)
{
    const QTextCharFormat openedInFormat = group.isEmpty() ? QTextCharFormat() : formatFor(openedIn);
    // The reader ends a wrap at any paragraph end, so its runs are all still waiting here.
    for (Run &run : m_runs) {
        if (run.style.wrapId != wrapId)
            continue;
        if (group.isEmpty())
            run.style.wrapId = 0; // not kept whole after all: plain runs
        else {
            run.style.wrapped = group;
            run.style.wrapOpenedIn = openedInFormat;
        }
    }
    // Plain runs join their neighbours as if they had never been shown for a group.
    if (group.isEmpty())
        joinRuns(m_runs);
}

// Runs that now carry on one another become one, as text read in one piece would.
void DocumentBuilder::joinRuns(std::vector<Run> &runs)
{
    std::size_t kept = 0;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        Run &last = runs[kept];
        if (!last.picture && !runs[i].picture && continuesRun(last.style, runs[i].style))
            last.text.append(runs[i].text);
        else if (++kept != i)
            runs[kept] = std::move(runs[i]);
    }
    if (!runs.empty())
        runs.resize(kept + 1);
}

void DocumentBuilder::document(const KeptDocument &kept)
{
    QTextFrameFormat format = m_document.rootFrame()->frameFormat();
    QString header = QStringLiteral("\\ansi\\ansicpg%1").arg(kept.codePage);
    if (kept.defaultFont >= 0)
        header += QStringLiteral("\\deff%1").arg(kept.defaultFont);
    format.setProperty(DocumentHeader, header.toLatin1());
    if (!kept.fontTable.isEmpty()) {
        QStringList names;
        for (const auto &[number, name] : kept.fonts)
            names << QString::number(number) + u'=' + name;
        format.setProperty(FontTableEntries, kept.fontTable);
        format.setProperty(FontTableNames, names);
    }
    if (!kept.colorTable.isEmpty()) {
        QVariantList colors;
        for (const QColor &color : kept.colors)
            colors << color;
        format.setProperty(ColorTableEntries, kept.colorTable);
        format.setProperty(ColorTableColors, colors);
    }
    setIfGiven(format, StyleSheetGroup, kept.styleSheet);
    setIfGiven(format, ListTableGroup, kept.listTable);
    setIfGiven(format, ListOverrideTableGroup, kept.listOverrideTable);
    setIfGiven(format, DocumentPrologue, kept.prologue);
    if (kept.highestFontNumber >= 0)
        format.setProperty(HighestFontNumber, kept.highestFontNumber);
    if (!kept.laterFonts.empty()) {
        QStringList names;
        for (const KeptDocument::LaterFont &font : kept.laterFonts)
            names << QStringLiteral("%1=%2=%3").arg(font.number).arg(font.codePage).arg(font.family);
        format.setProperty(LaterFontNames, names);
    }
    m_document.rootFrame()->setFrameFormat(format);
}

DocumentBuilder::Paragraph DocumentBuilder::takeParagraph(const ParagraphStyle &style)
{
    Paragraph paragraph{std::move(m_runs), style};
    m_runs.clear();
    // What a run's group added to the paragraph's shading, which the paragraph did not keep:
    // the words after the paragraph's own, whole words only (\shading is not \shading0's).
    const auto startsWithShading = [&style](const QByteArray &words) {
        const QByteArray &own = style.shadingWords;
        return !own.isEmpty() && words.startsWith(own)
            && (words.size() == own.size() || words[own.size()] == '\\' || words[own.size()] == '{');
    };
    bool sliced = false;
    for (Run &run : paragraph.runs) {
        QByteArray &words = run.style.groupShading;
        if (startsWithShading(words)) {
            words = words.sliced(style.shadingWords.size());
            sliced = true;
        }
        // So does the formatting an object or shape was opened in, which goes back before it.
        QTextCharFormat &opened = run.style.wrapOpenedIn;
        if (opened.hasProperty(GroupShadingWords)) {
            const QByteArray openedWords = opened.property(GroupShadingWords).toByteArray();
            if (startsWithShading(openedWords)) {
                if (openedWords.size() == style.shadingWords.size())
                    opened.clearProperty(GroupShadingWords);
                else
                    opened.setProperty(GroupShadingWords, openedWords.sliced(style.shadingWords.size()));
            }
        }
    }
    // Runs that the group's shading alone kept apart are one run, as they are read back.
    if (sliced)
        joinRuns(paragraph.runs);
    return paragraph;
}

void DocumentBuilder::paragraphEnd(const ParagraphStyle &style)
{
    const std::size_t depth = heldDepth(style.tableDepth, 0);
    openTables(depth);
    Paragraph paragraph = takeParagraph(style);
    if (depth == 0) {
        insertParagraph(paragraph);
        // The next paragraph collects its runs in this one's room: grown run by run, every
        // paragraph's list would move its runs again and again.
        paragraph.runs.clear();
        if (m_runs.empty())
            std::swap(m_runs, paragraph.runs);
    } else {
        m_open.back()->cell.content.push_back(Content{std::move(paragraph), nullptr});
    }
}

void DocumentBuilder::cellEnd(const ParagraphStyle &style, int depth)
{
    openTables(heldDepth(depth, 1));
    Table &table = *m_open.back();
    table.cell.content.push_back(Content{takeParagraph(style), nullptr});
    endCellOf(table);
}

bool DocumentBuilder::rowEnd(const RowFormat &row, int depth, const ParagraphStyle &textStyle)
{
    const bool text = !m_runs.empty();
    ParagraphStyle style = textStyle;
    const std::size_t wanted = heldDepth(depth, 1);
    if (m_open.size() < wanted) {
        // No table to end a row of: text before the stray \row ends as a paragraph.
        if (text) {
            style.tableDepth = int(m_open.size());
            paragraphEnd(style);
        }
        return text;
    }
    openTables(wanted);
    Table &table = *m_open.back();
    if (text) {
        style.tableDepth = int(wanted);
        table.cell.content.push_back(Content{takeParagraph(style), nullptr});
    }
    endRowOf(table, row);
    return text;
}

void DocumentBuilder::documentEnd(const ParagraphStyle &style, bool applyStyle)
{
    const std::size_t depth = heldDepth(style.tableDepth, 0);
    if (depth > 0 && (!m_runs.empty() || applyStyle)) {
        // A table cut off inside a cell: what was read of the cell still shows.
        openTables(depth);
        m_open.back()->cell.content.push_back(Content{takeParagraph(style), nullptr});
    }
    openTables(0);
    // The document ends with the paragraph after the last \par, even an empty one.
    if (m_paragraphBefore)
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    m_paragraphBefore = false;
    if (depth == 0) {
        Paragraph last = takeParagraph(style);
        if (applyStyle) {
            insertParagraph(last);
        } else {
            for (Run &run : last.runs)
                insertRun(run);
            if (!style.keptAtEnd.isEmpty() || !style.sectionStart.isEmpty()) {
                QTextBlockFormat format = m_cursor.blockFormat();
                setIfGiven(format, KeptAtEnd, style.keptAtEnd);
                setIfGiven(format, SectionStart, style.sectionStart);
                m_cursor.setBlockFormat(format);
            }
        }
    }
    m_cursor.endEditBlock();
    m_finished = true;
}

void DocumentBuilder::openTables(std::size_t depth)
{
    while (m_open.size() > depth)
        closeTable();
    while (m_open.size() < depth)
        m_open.push_back(std::make_unique<Table>());
}

void DocumentBuilder::closeTable()
{
    std::unique_ptr<Table> table = std::move(m_open.back());
    m_open.pop_back();
    // A row cut off (no \row) still keeps its cells.
    endRowOf(*table, RowFormat());
    if (table->rows.empty())
        return;
    if (!m_open.empty()) {
        m_open.back()->cell.content.push_back(Content{Paragraph(), std::move(table)});
        return;
    }
    // Qt starts a document with a paragraph, which a file that starts with a table lacks.
    const bool first = !m_paragraphBefore && m_cursor.atStart();
    insertTable(*table);
    if (first) {
        QTextCursor held(m_document.firstBlock());
        QTextBlockFormat format = held.blockFormat();
        format.setProperty(HeldBeforeTable, true);
        held.setBlockFormat(format);
    }
}

void DocumentBuilder::endCellOf(Table &table)
{
    if (table.cells.size() < std::size_t(MaxTableColumns)) {
        table.cells.push_back(std::move(table.cell));
    } else {
        // Past the last column the text joins the last cell rather than being lost.
        auto &last = table.cells.back().content;
        for (Content &content : table.cell.content)
            last.push_back(std::move(content));
    }
    table.cell = Cell();
}

void DocumentBuilder::endRowOf(Table &table, const RowFormat &format)
{
    if (!table.cell.content.empty())
        endCellOf(table);
    if (table.cells.empty())
        return;
    table.rows.push_back(Row{std::move(table.cells), format});
    table.cells.clear();
}

void DocumentBuilder::insertRun(const Run &run)
{
    if (run.picture)
        insertPicture(*run.picture, run.style);
    else
        m_cursor.insertText(run.text, formatFor(run.style));
}

void DocumentBuilder::insertParagraph(Paragraph &paragraph)
{
    // The paragraph's formats go in with its break: setting them afterwards costs Qt a
    // second pass over the paragraph.
    const QTextBlockFormat &format = blockFormatFor(paragraph.style);
    const bool list = asList(paragraph.style);
    const QTextCharFormat marker = list ? markerFormat(paragraph) : QTextCharFormat();
    if (m_paragraphBefore) {
        m_cursor.insertBlock(format, marker);
    } else {
        if (format.propertyCount() > 0)
            m_cursor.setBlockFormat(format);
        if (marker.propertyCount() > 0)
            m_cursor.setBlockCharFormat(marker);
    }
    for (const Run &run : paragraph.runs)
        insertRun(run);
    attachToList(paragraph.style);
    m_paragraphBefore = true;
}

// Qt draws a list marker in the paragraph's own character format; Word draws it in the
// paragraph's type, so take the first run's typeface, size and colour.
QTextCharFormat DocumentBuilder::markerFormat(const Paragraph &paragraph)
{
    if (paragraph.runs.empty() || paragraph.runs.front().picture)
        return {};
    const TextStyle &first = paragraph.runs.front().style;
    TextStyle marker;
    marker.family = first.family;
    marker.halfPoints = first.halfPoints;
    marker.foreground = first.foreground;
    marker.background = first.background;
    marker.bold = first.bold;
    marker.italic = first.italic;
    return formatFor(marker);
}

void DocumentBuilder::insertTable(Table &table)
{
    auto &rows = table.rows;
    std::vector<RowShape> shapes;
    shapes.reserve(rows.size());
    for (const Row &row : rows)
        shapes.push_back(RowShape{&row.format, row.cells.size()});
    for (const RowGroup &group : groupRows(shapes))
        insertRows(rows, shapes, group);
    m_lists.fill(nullptr);
}

void DocumentBuilder::insertRows(std::vector<Row> &rows, std::span<const RowShape> shapes, const RowGroup &group)
{
    const std::span<const RowShape> groupShapes = shapes.subspan(group.first, group.end - group.first);
    // Every column gets a width, so that what is saved reads back the same.
    const std::vector<int> columnTwips = columnWidths(groupShapes.front(), group.grid, m_room);
    const int columns = int(columnTwips.size());
    const std::vector<Region> regions = planRegions(groupShapes, group.grid, columns, m_mergeBudget);
    auto cellAt = [&](const CellRef &ref) -> Cell & { return rows[group.first + ref.row].cells[ref.cell]; };
    foldMergedCells(regions, cellAt, &DocumentBuilder::hasContent);
    const KeptEdges kept = keptEdges(groupShapes, regions, columnTwips);

    QTextTable *table = m_cursor.insertTable(int(groupShapes.size()), columns,
                                             tableFormat(columnTwips, groupShapes.front().format->borders));
    // Merged while the cells are still empty: Qt then has no text to move.
    for (const Region &region : regions) {
        if (region.rows > 1 || region.columns > 1)
            table->mergeCells(region.row, region.column, region.rows, region.columns);
    }
    // Cells are filled from the last to the first, so that what goes into one cell never
    // moves the cells still to fill and their places are looked up only once.
    std::vector<int> positions;
    positions.reserve(regions.size());
    for (const Region &region : regions)
        positions.push_back(table->cellAt(region.row, region.column).firstPosition());
    for (std::size_t i = regions.size(); i-- > 0;) {
        const Region &region = regions[i];
        m_cursor.setPosition(positions[i]);
        fillCell(cellAt(region.cells.front()), regionTwips(region, columnTwips));
        markCell(positions[i], region, kept.lists.empty() ? nullptr : &kept.lists[i]);
    }
    for (std::size_t i = 0; i < kept.pastEnd.size(); ++i) {
        QTextCharFormat edges;
        edges.setProperty(KeptCellEdges, QVariant::fromValue(kept.lists[regions.size() + i]));
        const GridCell &cell = kept.pastEnd[i];
        QTextCursor(table->cellAt(cell.row, cell.column).firstCursorPosition()).mergeBlockCharFormat(edges);
    }
    // Qt puts an empty paragraph after a table: the next paragraph goes there.
    m_cursor.setPosition(table->lastPosition() + 1);
    m_paragraphBefore = false;
}

QTextTableFormat DocumentBuilder::tableFormat(const std::vector<int> &columnTwips, bool borders)
{
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setBorderCollapse(true);
    format.setBorder(borders ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QColor(Qt::black));
    QList<QTextLength> widths;
    for (const int twips : columnTwips)
        widths << QTextLength(QTextLength::FixedLength, twips / TwipsPerPixel);
    format.setColumnWidthConstraints(widths);
    return format;
}

// A cell's content goes in at the cursor, sharing out the cell's room to tables in it.
void DocumentBuilder::fillCell(Cell &cell, qint64 twips)
{
    const int room = m_room;
    m_room = roomInCell(twips);
    insertCell(cell);
    m_room = room;
}

// Qt keeps a cell's spans in its first paragraph's character format, which a list item's
// marker format replaces. Qt's grid keeps the merge, but the writer reads the spans, and a
// merge it does not see comes back as separate cells.
void DocumentBuilder::markCell(int position, const Region &region, const QList<int> *keptEdges)
{
    QTextCharFormat spans;
    if (region.rows > 1 || region.columns > 1) {
        spans.setTableCellRowSpan(region.rows);
        spans.setTableCellColumnSpan(region.columns);
    }
    if (keptEdges)
        spans.setProperty(KeptCellEdges, QVariant::fromValue(*keptEdges));
    if (!spans.properties().isEmpty()) {
        QTextCursor first(&m_document);
        first.setPosition(position);
        first.mergeBlockCharFormat(spans);
    }
}

bool DocumentBuilder::hasContent(const Cell &cell)
{
    for (const Content &content : cell.content) {
        if (content.table)
            return true;
        for (const Run &run : content.paragraph.runs) {
            if (run.picture || !run.text.isEmpty())
                return true;
        }
    }
    return false;
}

QByteArray DocumentBuilder::takeSectionStart(Table &table)
{
    if (table.rows.empty() || table.rows.front().cells.empty() || table.rows.front().cells.front().content.empty())
        return {};
    Content &first = table.rows.front().cells.front().content.front();
    return first.table ? takeSectionStart(*first.table) : std::exchange(first.paragraph.style.sectionStart, QByteArray());
}

void DocumentBuilder::insertCell(Cell &cell)
{
    m_lists.fill(nullptr);
    m_paragraphBefore = false; // a cell starts with an empty paragraph of its own
    // A cell that starts with a table has that empty paragraph first: the words of a section
    // that starts in the table go on it, where the writer finds them to put before the table.
    if (!cell.content.empty() && cell.content.front().table) {
        if (const QByteArray words = takeSectionStart(*cell.content.front().table); !words.isEmpty()) {
            QTextBlockFormat format;
            format.setProperty(SectionStart, words);
            m_cursor.mergeBlockFormat(format);
        }
    }
    for (Content &content : cell.content) {
        if (content.table)
            insertTable(*content.table);
        else
            insertParagraph(content.paragraph);
    }
}

void DocumentBuilder::insertPicture(const Picture &picture, const TextStyle &style)
{
    QSize imageSize;
    bool drawable = false;
    if (picture.kind != Picture::Kind::Other) {
        QByteArray data = picture.data;
        QBuffer buffer(&data);
        QImageReader reader(&buffer, picture.kind == Picture::Kind::Png ? "png" : "jpeg");
        imageSize = reader.size();
        drawable = imageSize.isValid() && !imageSize.isEmpty();
    }
    const bool bitmap = picture.kind != Picture::Kind::Other;
    const int width = pixelsOf(pictureTwips(picture.goalWidth, picture.picw, imageSize.width(), picture.scaleX, bitmap));
    const int height = pixelsOf(pictureTwips(picture.goalHeight, picture.pich, imageSize.height(), picture.scaleY, bitmap));

    QTextImageFormat format;
    format.merge(formatFor(style));
    format.setWidth(width);
    format.setHeight(height);
    format.setProperty(PictureData, picture.data);
    if (!picture.properties.isEmpty())
        format.setProperty(PictureProperties, picture.properties);
    if (drawable) {
        // Qt decodes the bytes when the picture is first drawn, not here.
        const QString url = QStringLiteral("rtfpicture:%1").arg(++m_pictures);
        m_document.addResource(QTextDocument::ImageResource, QUrl(url), picture.data);
        format.setName(url);
        format.setProperty(PictureKind, int(picture.kind));
    } else {
        format.setName(placeholderFor(width, height));
        format.setProperty(PictureKind, int(Picture::Kind::Other));
        format.setProperty(PictureWords, picture.words);
    }
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

QString DocumentBuilder::placeholderFor(int width, int height)
{
    qint64 pixels = qint64(width) * height;
    if (m_placeholderPixels + pixels > MaxPlaceholderPixels)
        width = height = 64; // stretched to the picture's size when drawn
    const quint64 key = quint64(width) << 32 | quint64(height);
    if (const auto found = m_placeholders.constFind(key); found != m_placeholders.constEnd())
        return *found;
    pixels = qint64(width) * height;
    m_placeholderPixels += pixels;
    // One bit a pixel: transparent inside, a thin grey frame.
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgba(0, 0, 0, 0), qRgb(160, 160, 160)});
    image.fill(0);
    for (int x = 0; x < width; ++x) {
        image.setPixel(x, 0, 1);
        image.setPixel(x, height - 1, 1);
    }
    for (int y = 0; y < height; ++y) {
        image.setPixel(0, y, 1);
        image.setPixel(width - 1, y, 1);
    }
    const QString url = QStringLiteral("rtfplaceholder:%1x%2").arg(width).arg(height);
    m_document.addResource(QTextDocument::ImageResource, QUrl(url), image);
    m_placeholders.insert(key, url);
    return url;
}

bool DocumentBuilder::asList(const ParagraphStyle &style) const
{
    return style.list != ListKind::None && m_listParagraphs < MaxListParagraphs;
}

const QTextBlockFormat &DocumentBuilder::blockFormatFor(const ParagraphStyle &style)
{
    const bool list = asList(style);
    QHash<ParagraphStyle, QTextBlockFormat> &formats = m_blockFormats[list];
    if (const auto found = formats.constFind(style); found != formats.cend())
        return found.value();
    if (formats.size() >= MaxRememberedFormats)
        formats.clear();
    QTextBlockFormat format;
    switch (style.alignment) {
    case Alignment::Left: break;
    case Alignment::Right: format.setAlignment(Qt::AlignRight); break;
    case Alignment::Center: format.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
    // In a list the list's own indent places the paragraph and its marker.
    if (!list) {
        if (style.leftIndent)
            format.setLeftMargin(style.leftIndent / TwipsPerPixel);
        if (style.firstLineIndent)
            format.setTextIndent(style.firstLineIndent / TwipsPerPixel);
    }
    if (style.rightIndent)
        format.setRightMargin(style.rightIndent / TwipsPerPixel);
    if (style.spaceBefore)
        format.setTopMargin(style.spaceBefore / TwipsPerPixel);
    if (style.spaceAfter)
        format.setBottomMargin(style.spaceAfter / TwipsPerPixel);
    applyKeptParagraph(style, format);
    // A list of \pn words alone is indented by the paragraph: saved with \ls, it would be
    // by the list table in LibreOffice, which gives a list paragraph its own only with \ri.
    const bool rightIndentWord = list
        && (style.rightIndentGiven || (style.listOverride < 0 && (style.givenWords & (GivesLeft | GivesFirst))));
    // What a paragraph has from its style alone goes back unsaid: a reader that sees the
    // style otherwise (its own heading style, no inheriting from the base style) then sees
    // the paragraph as it saw it in the file.
    if (style.styleNumber >= 0) {
        static const char *const alignmentWords[] = {"\\ql ", "\\qr ", "\\qc ", "\\qj "};
        QByteArray words = style.givenWords & GivesAlignment ? QByteArray() : QByteArray(alignmentWords[int(style.alignment)]);
        const auto add = [&](int word, const char *name, int twips) {
            if (!(style.givenWords & word))
                words += name + QByteArray::number(twips) + ' ';
        };
        if (!list) {
            add(GivesLeft, "\\li", style.leftIndent);
            add(GivesFirst, "\\fi", style.firstLineIndent);
        }
        // Stated where it is kept: read again, \ri from the style alone would not count.
        if (!rightIndentWord)
            add(GivesRight, "\\ri", style.rightIndent);
        add(GivesBefore, "\\sb", style.spaceBefore);
        add(GivesAfter, "\\sa", style.spaceAfter);
        setIfGiven(format, StyleParagraphWords, words);
    } else if (style.givenWords) {
        // A reader may give it the Normal style's instead of the defaults it stated.
        const int defaults = (style.alignment == Alignment::Left ? GivesAlignment : 0) | (style.leftIndent ? 0 : GivesLeft)
            | (style.firstLineIndent ? 0 : GivesFirst) | (style.rightIndent ? 0 : GivesRight)
            | (style.spaceBefore ? 0 : GivesBefore) | (style.spaceAfter ? 0 : GivesAfter);
        if (const int stated = style.givenWords & defaults & ~(list ? GivesLeft | GivesFirst | GivesRight : 0))
            format.setProperty(StatedDefaults, stated);
    }
    if (list) {
        // The list places the paragraph; the file's own indents and list go back on save.
        // Kept where they differ from the ones saving gives a list of this level.
        if (style.leftIndent != 720 * (style.listLevel + 1) || style.firstLineIndent != -360) {
            format.setProperty(ListLeftIndent, style.leftIndent);
            // Given \lin alone, LibreOffice takes the first indent from the list level.
            if ((style.givenWords & (GivesLeft | GivesLeftByLi | GivesFirst)) != GivesLeft)
                format.setProperty(ListFirstIndent, style.firstLineIndent);
        }
        if (rightIndentWord)
            format.setProperty(RightIndentWord, true);
    }
    // A list level without a label (\levelnfc255) makes no list here, but the paragraph
    // stays in the file's list, which may number its other levels.
    if (style.listOverride >= 0 && (list || style.list == ListKind::None)) {
        format.setProperty(ListOverrideNumber, style.listOverride);
        format.setProperty(ListLevelNumber, style.listOverrideLevel);
    }
    return formats.insert(style, withHash(format)).value();
}

void DocumentBuilder::attachToList(const ParagraphStyle &style)
{
    if (!asList(style)) {
        m_lists.fill(nullptr);
        return;
    }
    ++m_listParagraphs;
    const auto level = std::size_t(std::clamp(style.listLevel, 0, int(m_lists.size()) - 1));
    for (std::size_t deeper = level + 1; deeper < m_lists.size(); ++deeper)
        m_lists[deeper] = nullptr;
    if (m_lists[level] && m_listKinds[level] == style.list && m_listLengths[level] < MaxListLength) {
        m_lists[level]->add(m_cursor.block());
        ++m_listLengths[level];
        return;
    }
    QTextListFormat listFormat;
    listFormat.setStyle(listStyle(style.list));
    listFormat.setIndent(int(level) + 1);
    m_lists[level] = m_cursor.createList(listFormat);
    m_listKinds[level] = style.list;
    m_listLengths[level] = 1;
}

void DocumentBuilder::applyKeptParagraph(const ParagraphStyle &style, QTextBlockFormat &format)
{
    if (style.lineSpacing > 0 && style.lineMultiple)
        format.setLineHeight(style.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (style.lineSpacing > 0)
        format.setLineHeight(style.lineSpacing / TwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (style.lineSpacing < 0)
        format.setLineHeight(-style.lineSpacing / TwipsPerPixel, QTextBlockFormat::FixedHeight);
    else if (style.givenWords & GivesLineSpacing)
        format.setLineHeight(0, QTextBlockFormat::MinimumHeight); // \sl0: single, but LibreOffice keeps it as "at least 0"
    if (style.pageBreakBefore)
        format.setProperty(StartsPage, true);
    if (style.pageBreakWord)
        format.setProperty(PageBreakWord, true);
    if (style.pageBreakAfterText)
        format.setProperty(PageBreakAfterText, true);
    if (style.markCharacterStyle >= 0)
        format.setProperty(MarkCharacterStyle, style.markCharacterStyle);
    if (style.shading.isValid())
        format.setBackground(style.shading);
    if (const qsizetype settled = settledTabWords(style.tabs)) {
        format.setTabPositions(tabStops(style.tabs));
        format.setProperty(TabWords, style.tabs.first(settled));
    }
    if (style.styleNumber >= 0)
        format.setProperty(ParagraphStyleNumber, style.styleNumber);
    if (style.styleSets)
        format.setProperty(StyleCharacterWords, style.styleSets);
    if (style.sectionEnd)
        format.setProperty(SectionEnd, true);
    setIfGiven(format, BorderWords, style.borders);
    setIfGiven(format, ShadingWords, style.shadingWords);
    setIfGiven(format, FrameWords, style.frameWords);
    setIfGiven(format, SectionStart, style.sectionStart);
    setIfGiven(format, KeptAtEnd, style.keptAtEnd);
}

const QTextCharFormat &DocumentBuilder::formatFor(const TextStyle &given)
{
    // An object or shape cut off with the file never gave its group: its runs are plain ones.
    if (given.wrapId && given.wrapped.isEmpty()) {
        TextStyle plain = given;
        plain.wrapId = 0;
        return formatFor(plain);
    }
    const TextStyle &style = given;
    if (const auto found = m_formats.constFind(style); found != m_formats.cend())
        return found.value();
    // Kept groups make styles unique; a bound keeps the memory linear in the document.
    if (m_formats.size() >= MaxRememberedFormats)
        m_formats.clear();
    QTextCharFormat format;
    format.setProperty(StyleKey, styleKey(style));
    if (!style.family.isEmpty())
        format.setFontFamilies(QStringList{style.family});
    if (style.halfPoints > 0)
        format.setFontPointSize(style.halfPoints / 2.0);
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline) {
        format.setFontUnderline(true);
        if (style.underlineKind > 0) {
            format.setUnderlineStyle(underlineKinds[std::size_t(style.underlineKind)].shown);
            format.setProperty(UnderlineWord, style.underlineKind);
        }
    }
    if (style.strike)
        format.setFontStrikeOut(true);
    if (style.foreground.isValid())
        format.setForeground(style.foreground);
    if (style.background.isValid())
        format.setBackground(style.background);
    if (style.position == VerticalPosition::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (style.position == VerticalPosition::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!style.link.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(style.link);
    }
    if (style.language >= 0)
        format.setProperty(Language, style.language);
    if (style.characterStyle >= 0)
        format.setProperty(CharacterStyle, style.characterStyle);
    if (style.raise) {
        format.setProperty(RaiseHalfPoints, style.raise);
        // Qt raises by a share of the font's height.
        const int size = style.halfPoints > 0 ? style.halfPoints : 24;
        format.setBaselineOffset(100.0 * style.raise / size);
    }
    if (!style.groupShading.isEmpty())
        format.setProperty(GroupShadingWords, style.groupShading);
    if (!style.scriptWords.isEmpty()) {
        format.setProperty(ScriptWords, style.scriptWords);
        format.setProperty(ScriptWordsLook, characterLook(format));
    }
    // A mark is numbered by its readers, also one whose note never came.
    if (style.noteId) {
        format.setProperty(NoteId, style.noteId);
        if (!style.note.isEmpty())
            format.setProperty(NoteGroup, style.note);
    }
    if (style.fieldId) {
        format.setProperty(FieldId, style.fieldId);
        format.setProperty(FieldInstruction, style.fieldInstruction);
        if (style.fieldSymbol)
            format.setProperty(FieldSymbol, true);
    }
    if (style.wrapId) {
        format.setProperty(WrappedId, style.wrapId);
        if (!style.wrapped.isEmpty()) {
            format.setProperty(WrappedGroup, style.wrapped);
            format.setProperty(WrappedOpenedIn, QVariant::fromValue<QTextFormat>(style.wrapOpenedIn));
        }
    }
    if (style.keptId) {
        format.setProperty(KeptBeforeId, style.keptId);
        format.setProperty(KeptBefore, style.keptBefore);
    }
    return m_formats.insert(style, withHash(format)).value();
}

} // namespace rtf
