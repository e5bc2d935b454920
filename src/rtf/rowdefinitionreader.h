#pragma once

#include "rtf/sink.h"
#include "rtf/tablemetrics.h"

#include <array>
#include <cstdint>

namespace rtf {

// Each table depth's row definition (\trowd ... \cellx), which may come before or after
// the row's cells and holds until the next one at that depth.
class RowDefinitionReader
{
public:
    // \trowd: a new definition for the row at `depth`.
    void start(int depth);
    void setLeft(int twips) { current().left = twips; }
    // \cellx: a cell ends at `right`, merged as the words before it said.
    void addCell(int right);
    void mergeNextCell(CellMerge merge) { m_mergePending |= merge; }

    // Border words after a cell or row border word describe that border; after a
    // border's style, other words are the paragraph's again.
    void openCellBorder() { m_borderPending = true; }
    bool cellBorderOpen() const { return m_borderPending; }
    void closeCellBorder() { m_borderPending = false; }
    void showBorders() { current().borders = true; }

    const RowFormat &row(int depth) const { return m_rows[std::size_t(depth)]; }

private:
    RowFormat &current() { return m_rows[std::size_t(m_depth)]; }

    std::array<RowFormat, MaxTableDepth + 1> m_rows;
    int m_depth = 1;                 // the depth the last \trowd defines
    bool m_borderPending = false;
    std::uint8_t m_mergePending = 0; // CellMerge flags for the next \cellx
};

} // namespace rtf
