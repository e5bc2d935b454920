#include "rtf/rowdefinitionreader.h"

namespace rtf {

void RowDefinitionReader::start(int depth)
{
    m_depth = depth;
    m_rows[std::size_t(depth)] = RowFormat();
    m_borderPending = false;
    m_mergePending = 0;
}

void RowDefinitionReader::addCell(int right)
{
    RowFormat &row = current();
    if (row.cellRight.size() < std::size_t(MaxTableColumns)) {
        row.cellRight.push_back(right);
        row.merges.push_back(m_mergePending);
    }
    m_borderPending = false;
    m_mergePending = 0;
}

} // namespace rtf
