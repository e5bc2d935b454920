#include "rtf/documentbuilder.h"

#include "rtf/keptformat.h"
#include "rtf/pictureformat.h"
#include "rtf/tabstops.h"
#include "rtf/tablemetrics.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <iterator>

namespace rtf {

namespace {

constexpr double TwipsPerPixel = 15.0;
constexpr double TwipsPerHundredthMillimetre = 1440.0 / 2540.0;

// Qt touches every item of a list whenever one is added, so building a list costs the
// square of its length. Long lists are therefore split (numbering restarts, bullets look
// the same), and past a document-wide budget list paragraphs become plain indented ones.
constexpr int MaxListLength = 500;
constexpr int MaxListParagraphs = 20000;

// The reader never nests deeper; the builder holds to it as well, since it recurses.
constexpr std::size_t MaxTableDepth = 8;

// Twips: the width of a column whose \cellx does not move right; the widest column kept.
constexpr int DefaultColumnWidth = 1440;
constexpr int MaxColumnWidth = 31680;
// Table cells Qt may shift while merging cells, for the whole document: a merge costs a
// pass over the table, so a long table merged on every row would otherwise take minutes.
constexpr qint64 MaxMergeWork = 2'000'000'000;
// Twips: row edges this close to one another are taken as the same column's.
constexpr int SnapTwips = CellGapTwips;

// Pictures larger than this on screen are shown at this size (their bytes are kept).
constexpr int MaxPictureSide = 10000;
// Placeholders are drawn at their size while they fit this budget, then share a small one.
constexpr qint64 MaxPlaceholderPixels = 64 * 1024 * 1024;

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
    return std::clamp(std::size_t(std::max(depth, 0)), least, MaxTableDepth);
}

int clampedWidth(qint64 twips)
{
    return int(std::clamp(twips, qint64(1), qint64(MaxColumnWidth)));
}

std::uint8_t mergeFlags(const RowFormat &format, std::size_t cell)
{
    return cell < format.merges.size() ? format.merges[cell] : 0;
}

// How many cells from `cell` on make one merged across: it and the \clmrg cells after it.
std::size_t runLength(const RowFormat &format, std::size_t cell, std::size_t cells)
{
    std::size_t n = 1;
    while (cell + n < cells && (mergeFlags(format, cell + n) & MergeLeft))
        ++n;
    return n;
}

bool mergesUp(const RowFormat &format, std::size_t cells)
{
    for (std::size_t cell = 0; cell < cells; ++cell) {
        if (mergeFlags(format, cell) & MergeUp)
            return true;
    }
    return false;
}

// Where a row's cells start and end, cells merged across taken as one. Empty when the row
// does not give every edge, in order, and so cannot share its columns with other rows.
std::vector<int> edgesOf(const RowFormat &format, std::size_t cells)
{
    std::vector<int> edges;
    if (cells == 0 || format.cellRight.size() != cells)
        return edges;
    edges.push_back(format.left);
    for (std::size_t k = 0; k < cells;) {
        const std::size_t n = runLength(format, k, cells);
        const int right = *std::max_element(format.cellRight.begin() + qsizetype(k),
                                            format.cellRight.begin() + qsizetype(k + n));
        if (right <= edges.back())
            return {};
        edges.push_back(right);
        k += n;
    }
    return edges;
}

// Lays a row's edges on a table's, into `joined`. An edge within a cell's gap of one the
// table has takes that one: producers round edges row by row, and a sliver column would
// only pinch the cells beside it. Any other edge adds a column. False when either has no
// edges, or the row's would fall out of order, or there would be too many columns.
bool layOn(const std::vector<int> &grid, std::vector<int> &edges, std::vector<int> &joined)
{
    if (grid.empty() || edges.empty())
        return false;
    std::vector<int> added;
    for (int &edge : edges) {
        const auto next = std::lower_bound(grid.begin(), grid.end(), edge);
        qint64 nearest = SnapTwips + 1;
        int snapped = edge;
        if (next != grid.end() && qint64(*next) - edge < nearest) {
            nearest = qint64(*next) - edge;
            snapped = *next;
        }
        if (next != grid.begin() && qint64(edge) - *(next - 1) < nearest) {
            nearest = qint64(edge) - *(next - 1);
            snapped = *(next - 1);
        }
        if (nearest > SnapTwips)
            added.push_back(edge);
        edge = snapped;
    }
    if (std::adjacent_find(edges.begin(), edges.end(), std::greater_equal<int>()) != edges.end())
        return false;
    joined.clear();
    std::set_union(grid.begin(), grid.end(), added.begin(), added.end(), std::back_inserter(joined));
    return joined.size() <= std::size_t(MaxTableColumns) + 1;
}

} // namespace

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

void DocumentBuilder::text(QStringView text, const TextStyle &style)
{
    if (!m_runs.empty() && !m_runs.back().picture) {
        // What was kept before a run stays before it when more of the run follows.
        const TextStyle &last = m_runs.back().style;
        bool same = last == style;
        if (!same && last.keptId && !style.keptId) {
            TextStyle continued = style;
            continued.keptBefore = last.keptBefore;
            continued.keptId = last.keptId;
            same = last == continued;
        }
        if (same) {
            m_runs.back().text.append(text);
            return;
        }
    }
    m_runs.push_back(Run{style, text.toString(), nullptr});
}

void DocumentBuilder::picture(const Picture &picture, const TextStyle &style)
{
    m_runs.push_back(Run{style, QString(), std::make_unique<Picture>(picture)});
}

void DocumentBuilder::note(int noteId, const QByteArray &group)
{
    for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run) {
        if (run->style.noteId == noteId) {
            run->style.note = group;
            return;
        }
    }
}

void DocumentBuilder::document(const KeptDocument &kept)
{
    QTextFrameFormat format = m_document.rootFrame()->frameFormat();
    QString header = QStringLiteral("\\ansi\\ansicpg%1\\deff%2").arg(kept.codePage).arg(kept.defaultFont);
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
    auto keep = [&format](int property, const QByteArray &value) {
        if (!value.isEmpty())
            format.setProperty(property, value);
    };
    keep(StyleSheetGroup, kept.styleSheet);
    keep(ListTableGroup, kept.listTable);
    keep(ListOverrideTableGroup, kept.listOverrideTable);
    keep(DocumentPrologue, kept.prologue);
    m_document.rootFrame()->setFrameFormat(format);
}

DocumentBuilder::Paragraph DocumentBuilder::takeParagraph(const ParagraphStyle &style)
{
    Paragraph paragraph{std::move(m_runs), style};
    m_runs.clear();
    return paragraph;
}

void DocumentBuilder::paragraphEnd(const ParagraphStyle &style)
{
    const std::size_t depth = heldDepth(style.tableDepth, 0);
    openTables(depth);
    Paragraph paragraph = takeParagraph(style);
    if (depth == 0)
        insertParagraph(paragraph);
    else
        m_open.back()->cell.content.push_back(Content{std::move(paragraph), nullptr});
}

void DocumentBuilder::cellEnd(const ParagraphStyle &style, int depth)
{
    openTables(heldDepth(depth, 1));
    Table &table = *m_open.back();
    table.cell.content.push_back(Content{takeParagraph(style), nullptr});
    endCellOf(table);
}

void DocumentBuilder::rowEnd(const RowFormat &row, int depth)
{
    const std::size_t wanted = heldDepth(depth, 1);
    if (m_open.size() < wanted) {
        // No table to end a row of: text before the stray \row ends as a paragraph.
        if (!m_runs.empty()) {
            ParagraphStyle style;
            style.tableDepth = int(m_open.size());
            paragraphEnd(style);
        }
        return;
    }
    openTables(wanted);
    Table &table = *m_open.back();
    if (!m_runs.empty()) {
        ParagraphStyle style;
        style.tableDepth = int(wanted);
        table.cell.content.push_back(Content{takeParagraph(style), nullptr});
    }
    endRowOf(table, row);
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
                if (!style.keptAtEnd.isEmpty())
                    format.setProperty(KeptAtEnd, style.keptAtEnd);
                if (!style.sectionStart.isEmpty())
                    format.setProperty(SectionStart, style.sectionStart);
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
    if (!m_open.empty())
        m_open.back()->cell.content.push_back(Content{Paragraph(), std::move(table)});
    else
        insertTable(*table);
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
    if (m_paragraphBefore)
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    for (const Run &run : paragraph.runs)
        insertRun(run);
    applyParagraph(paragraph.style);
    // Qt draws a list marker in the paragraph's own character format; Word draws it in the
    // paragraph's type, so take the first run's typeface, size and colour.
    if (m_cursor.block().textList() && !paragraph.runs.empty() && !paragraph.runs.front().picture) {
        QTextCharFormat marker = formatFor(paragraph.runs.front().style);
        marker.clearProperty(QTextFormat::TextUnderlineStyle);
        marker.clearProperty(QTextFormat::FontUnderline);
        marker.clearProperty(QTextFormat::FontStrikeOut);
        marker.clearProperty(QTextFormat::TextVerticalAlignment);
        marker.setAnchor(false);
        marker.clearProperty(QTextFormat::AnchorHref);
        m_cursor.setBlockCharFormat(marker);
    }
    m_paragraphBefore = true;
}

void DocumentBuilder::insertTable(Table &table)
{
    // Rows with as many cells as the first row join its table. A row with other cells
    // joins it too when it differs only by cells merged: it carries on a cell merged down
    // from the row above, or it has every edge the table has so far, or no edge the table
    // lacks, which is how Word writes cells merged across. Such a table lays each cell on
    // the edges of all its rows (a few twips apart count as one), so every row must give
    // its edges; a row that differs in any other way starts the next table.
    auto &rows = table.rows;
    std::size_t first = 0;
    std::vector<int> grid = rows.empty() ? std::vector<int>() : edgesOf(rows[0].format, rows[0].cells.size());
    bool sameCount = true;
    std::vector<int> joined;
    for (std::size_t i = 1; i <= rows.size(); ++i) {
        if (i < rows.size()) {
            const Row &row = rows[i];
            const bool asFirst = row.cells.size() == rows[first].cells.size();
            std::vector<int> edges = edgesOf(row.format, row.cells.size());
            const bool laid = layOn(grid, edges, joined);
            const bool nested = laid && (joined.size() == grid.size() || joined.size() == edges.size());
            if ((sameCount && asFirst) || (laid && (asFirst || nested || mergesUp(row.format, row.cells.size())))) {
                sameCount = sameCount && asFirst;
                if (laid)
                    std::swap(grid, joined);
                else
                    grid.clear(); // these rows can only share the first one's columns
                continue;
            }
        }
        insertRows(rows, first, i, sameCount ? nullptr : &grid);
        first = i;
        if (i < rows.size())
            grid = edgesOf(rows[i].format, rows[i].cells.size());
        sameCount = true;
    }
    m_lists.fill(nullptr);
}

void DocumentBuilder::insertRows(std::vector<Row> &rows, std::size_t first, std::size_t end,
                                 const std::vector<int> *grid)
{
    const RowFormat &format = rows[first].format;
    const int columns = grid ? int(grid->size()) - 1 : int(rows[first].cells.size());
    QTextTableFormat tableFormat;
    tableFormat.setCellSpacing(0);
    tableFormat.setCellPadding(3);
    tableFormat.setBorderCollapse(true);
    tableFormat.setBorder(format.borders ? 1 : 0);
    tableFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tableFormat.setBorderBrush(QColor(Qt::black));
    // Every column gets a width, so that what is saved reads back the same: from \cellx
    // where each cell has one, else an equal share of the room the row has (the page, or
    // the cell it sits in).
    const int room = m_room;
    std::vector<int> columnTwips(std::size_t(columns), clampedWidth(room / std::max(columns, 1)));
    if (grid) {
        for (std::size_t column = 0; column < columnTwips.size(); ++column)
            columnTwips[column] = clampedWidth(qint64((*grid)[column + 1]) - (*grid)[column]);
    } else if (format.cellRight.size() == std::size_t(columns)) {
        qint64 left = format.left;
        for (std::size_t k = 0; k < columnTwips.size();) {
            const std::size_t n = runLength(format, k, columnTwips.size());
            const qint64 runLeft = left;
            qint64 runRight = left;
            bool unsized = false;
            for (std::size_t m = k; m < k + n; ++m) {
                const qint64 right = format.cellRight[m];
                unsized = unsized || right <= left;
                columnTwips[m] = right > left ? clampedWidth(right - left) : DefaultColumnWidth;
                runRight = std::max(runRight, right);
                left = right;
            }
            // Word 97 gives a merged cell the whole width and the cells merged into it
            // none; sharing it out keeps the table as wide as Word shows it.
            if (n > 1 && unsized && runRight - runLeft >= qint64(n)) {
                const qint64 share = (runRight - runLeft) / qint64(n);
                for (std::size_t m = k; m < k + n; ++m)
                    columnTwips[m] = clampedWidth(m + 1 < k + n ? share : runRight - runLeft - share * qint64(n - 1));
            }
            k += n;
        }
    }
    QList<QTextLength> widths;
    for (const int twips : columnTwips)
        widths << QTextLength(QTextLength::FixedLength, twips / TwipsPerPixel);
    tableFormat.setColumnWidthConstraints(widths);

    // Each cell of the table as Qt will hold it: the row's cells it takes, the first of
    // them leading, and the rectangle of columns and rows it covers.
    struct Region {
        int row = 0;
        int column = 0;
        int rows = 1;
        int columns = 1;
        std::vector<Cell *> cells;
    };
    std::vector<Region> regions;
    // Qt shifts every cell after a merged one, once for each row merged, so a table
    // merges while this document's budget for that lasts; past it cells stay apart.
    const qint64 cellCount = qint64(end - first) * columns;
    auto affordMerge = [&] {
        if (m_mergeWork + cellCount > MaxMergeWork)
            return false;
        m_mergeWork += cellCount;
        return true;
    };
    std::vector<int> above(std::size_t(columns), -1); // the region over each column, a row up
    std::vector<int> here(std::size_t(columns), -1);
    // Each row's edges are laid on those of the rows before it again, as when the rows
    // were grouped, so that every edge is one of the grid's.
    std::vector<int> laidGrid, edges, joined;
    for (std::size_t r = first; r < end; ++r) {
        const int row = int(r - first);
        auto &cells = rows[r].cells;
        const RowFormat &rowFormat = rows[r].format;
        if (grid) {
            edges = edgesOf(rowFormat, cells.size());
            if (r == first)
                laidGrid = edges;
            else if (layOn(laidGrid, edges, joined))
                std::swap(laidGrid, joined);
        }
        std::fill(here.begin(), here.end(), -1);
        std::size_t piece = 0;
        for (std::size_t k = 0; k < cells.size(); k += runLength(rowFormat, k, cells.size()), ++piece) {
            const std::size_t n = runLength(rowFormat, k, cells.size());
            int column = int(k);
            int span = int(n);
            if (grid && piece + 1 < edges.size()) {
                column = int(std::lower_bound(grid->begin(), grid->end(), edges[piece]) - grid->begin());
                span = int(std::lower_bound(grid->begin(), grid->end(), edges[piece + 1]) - grid->begin()) - column;
            }
            // Grouping the rows placed every cell; should that ever fail, the cell still
            // goes in, where it can.
            column = std::clamp(column, 0, columns - 1);
            span = std::clamp(span, 1, columns - column);
            const int target = (mergeFlags(rowFormat, k) & MergeUp) ? above[std::size_t(column)] : -1;
            if (target >= 0 && regions[std::size_t(target)].column == column
                && regions[std::size_t(target)].columns == span && affordMerge()) {
                Region &region = regions[std::size_t(target)];
                ++region.rows;
                for (std::size_t m = k; m < k + n; ++m)
                    region.cells.push_back(&cells[m]);
                std::fill_n(here.begin() + column, span, target);
                continue;
            }
            if (span == 1 || affordMerge()) {
                Region region{row, column, 1, span, {}};
                for (std::size_t m = k; m < k + n; ++m)
                    region.cells.push_back(&cells[m]);
                regions.push_back(std::move(region));
                std::fill_n(here.begin() + column, span, int(regions.size()) - 1);
            } else if (!grid) {
                for (std::size_t m = k; m < k + n; ++m) {
                    regions.push_back(Region{row, int(m), 1, 1, {&cells[m]}});
                    here[m] = int(regions.size()) - 1;
                }
            } else {
                // Its columns cannot be told apart from this row: the text goes in the first.
                Region region{row, column, 1, 1, {}};
                for (std::size_t m = k; m < k + n; ++m)
                    region.cells.push_back(&cells[m]);
                regions.push_back(std::move(region));
                here[std::size_t(column)] = int(regions.size()) - 1;
            }
        }
        std::swap(above, here);
    }
    // What a merged cell keeps: its leading cell's paragraphs, then those of the cells
    // merged into it that hold anything. Word shows only the first; dropping the rest
    // would lose text, while empty ones would only add blank lines on every save.
    for (Region &region : regions) {
        auto &content = region.cells.front()->content;
        for (std::size_t i = 1; i < region.cells.size(); ++i) {
            Cell &merged = *region.cells[i];
            if (!hasContent(merged))
                continue;
            for (Content &part : merged.content)
                content.push_back(std::move(part));
            merged.content.clear();
        }
    }

    QTextTable *table = m_cursor.insertTable(int(end - first), columns, tableFormat);
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
        qint64 twips = 0;
        for (int column = region.column; column < region.column + region.columns; ++column)
            twips += columnTwips[std::size_t(column)];
        m_cursor.setPosition(positions[i]);
        m_room = roomInCell(twips);
        insertCell(*region.cells.front());
        m_room = room;
    }
    // Qt puts an empty paragraph after a table: the next paragraph goes there.
    m_cursor.setPosition(table->lastPosition() + 1);
    m_paragraphBefore = false;
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

void DocumentBuilder::insertCell(Cell &cell)
{
    m_lists.fill(nullptr);
    m_paragraphBefore = false; // a cell starts with an empty paragraph of its own
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

void DocumentBuilder::applyParagraph(const ParagraphStyle &style)
{
    QTextBlockFormat format;
    switch (style.alignment) {
    case Alignment::Left: break;
    case Alignment::Right: format.setAlignment(Qt::AlignRight); break;
    case Alignment::Center: format.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
    const bool asList = style.list != ListKind::None && m_listParagraphs < MaxListParagraphs;
    // In a list the list's own indent places the paragraph and its marker.
    if (!asList) {
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
    if (asList) {
        // The list places the paragraph; the file's own indents and list go back on save.
        // Kept where they differ from the ones saving gives a list of this level.
        if (style.leftIndent != 720 * (style.listLevel + 1) || style.firstLineIndent != -360) {
            format.setProperty(ListLeftIndent, style.leftIndent);
            format.setProperty(ListFirstIndent, style.firstLineIndent);
        }
        if (style.listOverride > 0) {
            format.setProperty(ListOverrideNumber, style.listOverride);
            format.setProperty(ListLevelNumber, style.listOverrideLevel);
        }
    }
    if (!format.properties().isEmpty())
        m_cursor.setBlockFormat(format);

    if (!asList) {
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
    if (style.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (style.shading.isValid())
        format.setBackground(style.shading);
    if (!style.tabs.isEmpty()) {
        format.setTabPositions(tabStops(style.tabs));
        format.setProperty(TabWords, style.tabs);
    }
    if (style.styleNumber >= 0)
        format.setProperty(ParagraphStyleNumber, style.styleNumber);
    if (style.styleSets)
        format.setProperty(StyleCharacterWords, style.styleSets);
    if (style.sectionEnd)
        format.setProperty(SectionEnd, true);
    auto keep = [&format](int property, const QByteArray &value) {
        if (!value.isEmpty())
            format.setProperty(property, value);
    };
    keep(BorderWords, style.borders);
    keep(ShadingWords, style.shadingWords);
    keep(SectionStart, style.sectionStart);
    keep(KeptAtEnd, style.keptAtEnd);
}

const QTextCharFormat &DocumentBuilder::formatFor(const TextStyle &style)
{
    // Documents switch among a few styles (body, bold, a link...): remembering the last
    // few spares building a format for every run.
    for (const RecentFormat &recent : m_recentFormats) {
        if (recent.valid && recent.style == style)
            return recent.format;
    }
    QTextCharFormat format;
    if (!style.family.isEmpty())
        format.setFontFamilies(QStringList{style.family});
    if (style.halfPoints > 0)
        format.setFontPointSize(style.halfPoints / 2.0);
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline)
        format.setFontUnderline(true);
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
    if (style.noteId) {
        format.setProperty(NoteId, style.noteId);
        if (!style.note.isEmpty())
            format.setProperty(NoteGroup, style.note);
    }
    if (style.keptId) {
        format.setProperty(KeptBeforeId, style.keptId);
        format.setProperty(KeptBefore, style.keptBefore);
    }
    RecentFormat &slot = m_recentFormats[m_nextRecentFormat];
    m_nextRecentFormat = (m_nextRecentFormat + 1) % m_recentFormats.size();
    slot.style = style;
    slot.format = format;
    slot.valid = true;
    return slot.format;
}

} // namespace rtf
