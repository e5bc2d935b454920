#pragma once

#include "rtf/sink.h"

#include <QList>
#include <QtGlobal>

#include <cstddef>
#include <span>
#include <vector>

namespace rtf {

// How a table read from RTF becomes a grid of Qt cells, worked out on plain data so that
// the builder only has to carry it out. RTF gives each row its own cells and edges; Qt
// wants one grid of rows and columns with rectangles merged in it.

// A row as read: its definition and how many cells it had, which need not agree.
struct RowShape {
    const RowFormat *format = nullptr;
    std::size_t cells = 0;
};

// Rows [first, end) that make one table. With a grid, each cell covers the grid's columns
// between its edges; without one, the rows have the first row's number of cells and cell
// k is column k.
struct RowGroup {
    std::size_t first = 0;
    std::size_t end = 0;
    std::vector<int> grid; // twips, ascending
};

// One cell of a row: rows[row].cells[cell].
struct CellRef {
    std::size_t row = 0;
    std::size_t cell = 0;
};

// One cell of the table as Qt will hold it: the rectangle of rows and columns it covers
// and the cells read for it, the first of them leading.
struct Region {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
    std::vector<CellRef> cells;
};

// Qt shifts every cell of a table once for each row it merges, so merging costs a pass
// over the table. A long table merged on every row would take minutes; past this budget,
// spent over the whole document, cells stay apart (and keep their text).
class MergeBudget
{
public:
    static constexpr qint64 Limit = 2'000'000'000;

    explicit MergeBudget(qint64 limit = Limit) : m_left(limit) {}
    // False, and nothing spent, when a merge over `cells` cells no longer fits.
    bool afford(qint64 cells);

private:
    qint64 m_left;
};

// Splits a table's rows into the tables Qt gets: rows join the table above while they
// fit its columns (see the definition for when they do).
std::vector<RowGroup> groupRows(std::span<const RowShape> rows);

// Whether a row gives an edge for each of its `cells`, in order, cells merged across taken
// as one: only then can its cells be written back on the edges it gave.
bool givesEdges(const RowFormat &format, std::size_t cells);

// Each column's width in twips, from the grid, or else from the first row's \cellx, or
// else an equal share of `room`.
std::vector<int> columnWidths(const RowShape &first, const std::vector<int> &grid, int room);

// The cells of a group's rows (`rows` holds just that group) as regions of a table of
// `columns` columns, cells merged across and down joined into one region each.
std::vector<Region> planRegions(std::span<const RowShape> rows, const std::vector<int> &grid, int columns,
                                MergeBudget &budget);

// The twips of the columns a region covers.
qint64 regionTwips(const Region &region, const std::vector<int> &columnTwips);

// A cell of the table that no region covers: the end of a row shorter than the others.
struct GridCell {
    int row = 0;
    int column = 0;
};

// What the writer needs to give each cell of a table back the edges the file gave it (see
// KeptCellEdges): one list per region, then one per cell past the end of a shorter row, at
// `pastEnd`. Both are empty when there is nothing to keep.
struct KeptEdges {
    std::vector<QList<int>> lists;
    std::vector<GridCell> pastEnd;
};
KeptEdges keptEdges(std::span<const RowShape> rows, const std::vector<Region> &regions,
                    const std::vector<int> &columnTwips);

// What a merged cell keeps: its leading cell's content, then that of the cells merged into
// it that hold anything. Word shows only the first; dropping the rest would lose text,
// while empty ones would only add blank lines on every save. `cellAt` gives a CellRef's
// cell, which has a `content` vector; `holdsAnything` tells whether a cell has content.
template <typename CellAt, typename HoldsAnything>
void foldMergedCells(const std::vector<Region> &regions, CellAt &&cellAt, HoldsAnything &&holdsAnything)
{
    for (const Region &region : regions) {
        auto &content = cellAt(region.cells.front()).content;
        for (std::size_t i = 1; i < region.cells.size(); ++i) {
            auto &merged = cellAt(region.cells[i]);
            if (!holdsAnything(merged))
                continue;
            for (auto &part : merged.content)
                content.push_back(std::move(part));
            merged.content.clear();
        }
    }
}

} // namespace rtf
