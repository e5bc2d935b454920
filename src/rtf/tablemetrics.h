#pragma once

#include <QtGlobal>

#include <algorithm>

namespace rtf {

// Twips. A table without widths of its own shares out the room it has: a letter page's
// text width in the body, or for a nested table the text width of the cell it sits in.
constexpr int PageTextWidthTwips = 9360;
constexpr int CellGapTwips = 108;    // \trgaph: the space on each side of a cell's text
constexpr int MinCellRoomTwips = 144;

inline int roomInCell(qint64 cellTwips)
{
    return int(std::max(cellTwips - 2 * CellGapTwips, qint64(MinCellRoomTwips)));
}

} // namespace rtf
