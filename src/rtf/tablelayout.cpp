#include "rtf/tablelayout.h"

#include "rtf/tablemetrics.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <numeric>

namespace rtf {

namespace {

// Twips: the width of a column whose \cellx does not move right; the widest column kept.
constexpr int DefaultColumnWidth = 1440;
constexpr int MaxColumnWidth = 31680;
// Twips: row edges this close to one another are taken as the same column's.
constexpr int SnapTwips = CellGapTwips;

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

// Lays a row's edges on a table's grid, into `joined`. An edge within a cell's gap of one
// the grid has takes that one: producers round edges row by row, and a sliver column would
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

bool MergeBudget::afford(qint64 cells)
{
    if (cells > m_left)
        return false;
    m_left -= cells;
    return true;
}

// Rows with as many cells as the first row join its table, and so does a row with other
// cells whose edges lie on the table's or between them, as Word and LibreOffice keep rows of
// other shapes in one table. Such a table lays each cell on the edges of all its rows (a few
// twips apart count as one), so every row must give its edges, in order, and their union stay
// within the columns a table may have; a row that cannot starts the next table.
std::vector<RowGroup> groupRows(std::span<const RowShape> rows)
{
    std::vector<RowGroup> groups;
    if (rows.empty())
        return groups;
    std::size_t first = 0;
    std::vector<int> grid = edgesOf(*rows[0].format, rows[0].cells);
    bool sameCount = true;
    std::vector<int> joined;
    for (std::size_t i = 1; i <= rows.size(); ++i) {
        if (i < rows.size()) {
            const RowShape &row = rows[i];
            const bool asFirst = row.cells == rows[first].cells;
            std::vector<int> edges = edgesOf(*row.format, row.cells);
            const bool laid = layOn(grid, edges, joined);
            if ((sameCount && asFirst) || laid) {
                sameCount = sameCount && asFirst;
                if (laid)
                    std::swap(grid, joined);
                else
                    grid.clear(); // these rows can only share the first one's columns
                continue;
            }
        }
        groups.push_back(RowGroup{first, i, sameCount ? std::vector<int>() : std::move(grid)});
        first = i;
        grid = i < rows.size() ? edgesOf(*rows[i].format, rows[i].cells) : std::vector<int>();
        sameCount = true;
    }
    return groups;
}

bool givesEdges(const RowFormat &format, std::size_t cells)
{
    return !edgesOf(format, cells).empty();
}

std::vector<int> columnWidths(const RowShape &first, const std::vector<int> &grid, int room)
{
    const RowFormat &format = *first.format;
    const std::size_t columns = grid.empty() ? first.cells : grid.size() - 1;
    std::vector<int> widths(columns, clampedWidth(room / std::max(int(columns), 1)));
    if (!grid.empty()) {
        for (std::size_t column = 0; column < columns; ++column)
            widths[column] = clampedWidth(qint64(grid[column + 1]) - grid[column]);
    } else if (format.cellRight.size() == columns) {
        qint64 left = format.left;
        for (std::size_t k = 0; k < columns;) {
            const std::size_t n = runLength(format, k, columns);
            const qint64 runLeft = left;
            qint64 runRight = left;
            bool unsized = false;
            for (std::size_t m = k; m < k + n; ++m) {
                const qint64 right = format.cellRight[m];
                unsized = unsized || right <= left;
                widths[m] = right > left ? clampedWidth(right - left) : DefaultColumnWidth;
                runRight = std::max(runRight, right);
                left = right;
            }
            // Word 97 gives a merged cell the whole width and the cells merged into it
            // none; sharing it out keeps the table as wide as Word shows it.
            if (n > 1 && unsized && runRight - runLeft >= qint64(n)) {
                const qint64 share = (runRight - runLeft) / qint64(n);
                for (std::size_t m = k; m < k + n; ++m)
                    widths[m] = clampedWidth(m + 1 < k + n ? share : runRight - runLeft - share * qint64(n - 1));
            }
            k += n;
        }
    }
    return widths;
}

std::vector<Region> planRegions(std::span<const RowShape> rows, const std::vector<int> &grid, int columns,
                                MergeBudget &budget)
{
    std::vector<Region> regions;
    const bool byGrid = !grid.empty();
    const qint64 cellCount = qint64(rows.size()) * columns;
    std::vector<int> above(std::size_t(columns), -1); // the region over each column, a row up
    std::vector<int> here(std::size_t(columns), -1);
    // Each row's edges are laid on those of the rows before it again, as when the rows
    // were grouped, so that every edge is one of the grid's.
    std::vector<int> laidGrid, edges, joined;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = int(r);
        const std::size_t cells = rows[r].cells;
        const RowFormat &format = *rows[r].format;
        if (byGrid) {
            edges = edgesOf(format, cells);
            if (r == 0)
                laidGrid = edges;
            else if (layOn(laidGrid, edges, joined))
                std::swap(laidGrid, joined);
        }
        std::fill(here.begin(), here.end(), -1);
        std::size_t piece = 0;
        for (std::size_t k = 0; k < cells; k += runLength(format, k, cells), ++piece) {
            const std::size_t n = runLength(format, k, cells);
            int column = int(k);
            int span = int(n);
            if (byGrid && piece + 1 < edges.size()) {
                column = int(std::lower_bound(grid.begin(), grid.end(), edges[piece]) - grid.begin());
                span = int(std::lower_bound(grid.begin(), grid.end(), edges[piece + 1]) - grid.begin()) - column;
            }
            // Grouping the rows placed every cell; should that ever fail, the cell still
            // goes in, where it can.
            column = std::clamp(column, 0, columns - 1);
            span = std::clamp(span, 1, columns - column);
            auto cellsOfRun = [&] {
                std::vector<CellRef> refs;
                for (std::size_t m = k; m < k + n; ++m)
                    refs.push_back(CellRef{r, m});
                return refs;
            };
            const int target = (mergeFlags(format, k) & MergeUp) ? above[std::size_t(column)] : -1;
            if (target >= 0 && regions[std::size_t(target)].column == column
                && regions[std::size_t(target)].columns == span && budget.afford(cellCount)) {
                Region &region = regions[std::size_t(target)];
                ++region.rows;
                for (const CellRef &ref : cellsOfRun())
                    region.cells.push_back(ref);
                std::fill_n(here.begin() + column, span, target);
                continue;
            }
            if (span == 1 || budget.afford(cellCount)) {
                regions.push_back(Region{row, column, 1, span, cellsOfRun()});
                std::fill_n(here.begin() + column, span, int(regions.size()) - 1);
            } else if (!byGrid) {
                for (std::size_t m = k; m < k + n; ++m) {
                    regions.push_back(Region{row, int(m), 1, 1, {CellRef{r, m}}});
                    here[m] = int(regions.size()) - 1;
                }
            } else {
                // Its columns cannot be told apart from this row: the text goes in the first.
                regions.push_back(Region{row, column, 1, 1, cellsOfRun()});
                here[std::size_t(column)] = int(regions.size()) - 1;
            }
        }
        std::swap(above, here);
    }
    return regions;
}

qint64 regionTwips(const Region &region, const std::vector<int> &columnTwips)
{
    qint64 twips = 0;
    for (int column = region.column; column < region.column + region.columns; ++column)
        twips += columnTwips[std::size_t(column)];
    return twips;
}

// Written back just as the file had them, the rows make the same table when read again, but
// only when every row gives every edge in order; and when the file's rows are those the
// writer writes anyway, one cell per column on the table's columns, there is nothing to keep.
KeptEdges keptEdges(std::span<const RowShape> rows, const std::vector<Region> &regions,
                    const std::vector<int> &columnTwips)
{
    const int columns = int(columnTwips.size());
    for (const RowShape &shape : rows) {
        if (!givesEdges(*shape.format, shape.cells))
            return {};
    }
    KeptEdges kept;
    std::vector<bool> covered(rows.size() * std::size_t(columns));
    bool asWritten = true;
    for (const Region &region : regions) {
        const std::size_t leading = region.cells.front().row;
        const RowFormat &format = *rows[leading].format;
        QList<int> &edges = kept.lists.emplace_back(QList<int>{columns, region.columns, format.left});
        for (const CellRef &ref : region.cells) {
            if (ref.row == leading)
                edges << format.cellRight[ref.cell];
        }
        qint64 right = std::accumulate(columnTwips.begin(), columnTwips.begin() + region.column, qint64(0));
        asWritten = asWritten && edges.size() - 3 == region.columns && (region.column > 0 || format.left == 0);
        for (int k = 0; k < region.columns && asWritten; ++k) {
            right += columnTwips[std::size_t(region.column + k)];
            asWritten = edges[3 + k] == right;
        }
        for (int r = region.row; r < region.row + region.rows; ++r)
            std::fill_n(covered.begin() + qsizetype(r) * columns + region.column, region.columns, true);
    }
    for (std::size_t i = 0; i < covered.size(); ++i) {
        if (!covered[i]) {
            kept.pastEnd.push_back(GridCell{int(i / std::size_t(columns)), int(i % std::size_t(columns))});
            kept.lists.push_back(QList<int>{columns, 1, 0});
        }
    }
    if (asWritten && kept.pastEnd.empty())
        return {};
    return kept;
}

} // namespace rtf
