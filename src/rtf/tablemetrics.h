#pragma once

#include <QtGlobal>

#include <algorithm>

namespace rtf {

// Twips. A table without widths of its own shares out the room it has: a letter page's
// text width in the body, or for a nested table the text width of the cell it sits in.
constexpr int PageTextWidthTwips = 9360;
constexpr int CellGapTwips = 108;    // \trgaph: the space on each side of a cell's text
constexpr int MinCellRoomTwips = 144;

// Tables nested deeper than this keep their text in the deepest table kept. The reader
// nests no deeper, the builder holds to it since it recurses, and the writer too, since
// deeper tables would not read back the same.
constexpr int MaxTableDepth = 8;

// A table depth (0: the body, 1: a table, 2 and more: nested tables) held to the tables kept.
inline int heldTableDepth(qint64 depth)
{
    return int(std::clamp(depth, qint64(0), qint64(MaxTableDepth)));
}

inline int roomInCell(qint64 cellTwips)
{
    return int(std::max(cellTwips - 2 * CellGapTwips, qint64(MinCellRoomTwips)));
}

} // namespace rtf
