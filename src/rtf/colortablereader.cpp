#include "rtf/colortablereader.h"

#include "rtf/sink.h"

#include <algorithm>

namespace rtf {

namespace {

// Tables in hostile files can claim any number of entries; real ones stay in the hundreds.
constexpr qsizetype MaxColors = 65536;

} // namespace

void ColorTableReader::start()
{
    m_tableStart = m_colors.size();
    m_colorSet = false;
    m_red = m_green = m_blue = 0;
}

void ColorTableReader::word(Keyword keyword, int parameter)
{
    switch (keyword) {
    case Keyword::Red: m_red = std::clamp(parameter, 0, 255); m_colorSet = true; return;
    case Keyword::Green: m_green = std::clamp(parameter, 0, 255); m_colorSet = true; return;
    case Keyword::Blue: m_blue = std::clamp(parameter, 0, 255); m_colorSet = true; return;
    default: return;
    }
}

void ColorTableReader::text(std::string_view bytes)
{
    for (char c : bytes) {
        if (c == ';')
            commit();
    }
}

void ColorTableReader::end(bool kept)
{
    if (m_colorSet)
        commit();
    if (kept) {
        m_keptFrom = m_tableStart;
        m_keptTo = m_colors.size();
    }
}

void ColorTableReader::commit()
{
    if (m_colors.size() < MaxColors)
        m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
    m_colorSet = false;
    m_red = m_green = m_blue = 0;
}

// A file whose colours come from more than the one table kept, or from a table cut short,
// keeps the colours as read, as one table, so that every index means on saving what it meant.
void ColorTableReader::keep(KeptDocument &kept) const
{
    if (kept.colorTable.isEmpty() || m_keptFrom != 0 || m_keptTo != m_colors.size()) {
        kept.colorTable.clear();
        if (!m_colors.isEmpty()) {
            kept.colorTable = "{\\colortbl";
            for (const QColor &color : m_colors) {
                if (color.isValid())
                    kept.colorTable += "\\red" + QByteArray::number(color.red()) + "\\green"
                        + QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue());
                kept.colorTable += ';';
            }
            kept.colorTable += '}';
        }
    }
    kept.colors.assign(m_colors.begin(), m_colors.end());
}

} // namespace rtf
