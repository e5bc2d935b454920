#pragma once

#include "rtf/keywords.h"

#include <QColor>
#include <QList>
#include <string_view>

namespace rtf {

struct KeptDocument;

// The colours a document's \colortbl groups give, in the order read: text and kept words
// name colours by their place among all entries read.
class ColorTableReader
{
public:
    // A \colortbl group opens.
    void start();
    void word(Keyword keyword, int parameter);
    void text(std::string_view bytes);
    // The table's group closes; `kept` says it is the table kept whole.
    void end(bool kept);

    // The colour an index names; invalid for 0 (automatic) and for entries never read.
    QColor at(int index) const { return index > 0 && index < m_colors.size() ? m_colors.at(index) : QColor(); }

    // The colours for the writer, and the table that gives them their numbers.
    void keep(KeptDocument &kept) const;

private:
    void commit();

    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    qsizetype m_tableStart = 0; // entries before the table being read
    qsizetype m_keptFrom = 0, m_keptTo = 0; // the entries the kept table gave
};

} // namespace rtf
