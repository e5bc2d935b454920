#include "rtf/rtf.h"

#include "rtf/codepage.h"
#include "rtf/pictureformat.h"
#include "rtf/sink.h"
#include "rtf/tablemetrics.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <array>
#include <cmath>
#include <utility>

namespace rtf {

namespace {

constexpr double TwipsPerPixel = 15.0;
constexpr int ListIndentTwips = 360;

enum ListSlot { BulletList, DecimalList, LowerAlphaList, UpperAlphaList, LowerRomanList, UpperRomanList, ListSlots };

ListSlot slotFor(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return DecimalList;
    case QTextListFormat::ListLowerAlpha: return LowerAlphaList;
    case QTextListFormat::ListUpperAlpha: return UpperAlphaList;
    case QTextListFormat::ListLowerRoman: return LowerRomanList;
    case QTextListFormat::ListUpperRoman: return UpperRomanList;
    default: return BulletList;
    }
}

// \levelnfc and the old \pn word for each kind of list.
constexpr int levelFormat[ListSlots] = {23, 0, 4, 3, 2, 1};
constexpr const char *pnFormat[ListSlots] = {"", "\\pndec", "\\pnlcltr", "\\pnucltr", "\\pnlcrm", "\\pnucrm"};

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

QColor brushColor(const QTextFormat &format, int property)
{
    if (!format.hasProperty(property))
        return {};
    const QBrush brush = format.brushProperty(property);
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

int toTwips(double pixels) { return int(std::lround(pixels * TwipsPerPixel)); }

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document) {}

    QByteArray run()
    {
        collectTables();
        m_out.reserve(m_document.characterCount() * 2 + 1024);
        m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n";
        writeFontTable();
        writeColorTable();
        writeListTables();
        m_out += "\\pard\\plain\n";
        writeFlow(m_document.rootFrame()->begin(), 0, "");
        m_out += "}\n";
        return m_out;
    }

private:
    void collectTables()
    {
        // Font 0 has no name: it stands for "no font chosen", which reads back as such.
        m_fonts.append(QString());
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                const QString family = familyOf(format);
                if (!family.isEmpty() && !m_fontIndex.contains(family)) {
                    m_fontIndex.insert(family, int(m_fonts.size()));
                    m_fonts.append(family);
                }
                addColor(brushColor(format, QTextFormat::ForegroundBrush));
                addColor(brushColor(format, QTextFormat::BackgroundBrush));
            }
            if (const QTextList *list = block.textList())
                m_listUsed[slotFor(list->format().style())] = true;
        }
        if (m_listUsed[BulletList]) {
            m_symbolFont = int(m_fonts.size());
            m_fonts.append(QStringLiteral("Symbol"));
        }
    }

    void addColor(const QColor &color)
    {
        if (!color.isValid())
            return;
        const QRgb rgb = color.rgb();
        if (!m_colorIndex.contains(rgb)) {
            m_colorIndex.insert(rgb, int(m_colors.size()) + 1); // entry 0 is "automatic"
            m_colors.append(rgb);
        }
    }

    void writeFontTable()
    {
        m_out += "{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i) {
            m_out += "{\\f" + QByteArray::number(i);
            m_out += i == m_symbolFont ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset0 ";
            writeText(m_fonts.at(i), true);
            m_out += ";}";
        }
        m_out += "}\n";
    }

    void writeColorTable()
    {
        if (m_colors.isEmpty())
            return;
        m_out += "{\\colortbl;";
        for (QRgb rgb : m_colors) {
            m_out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        }
        m_out += "}\n";
    }

    void writeListTables()
    {
        bool any = false;
        for (bool used : m_listUsed)
            any = any || used;
        if (!any)
            return;
        m_out += "{\\*\\listtable";
        for (int slot = 0; slot < ListSlots; ++slot) {
            if (!m_listUsed[slot])
                continue;
            m_out += "{\\list\\listtemplateid" + QByteArray::number(slot + 1) + "\\listsimple0";
            for (int level = 0; level < 9; ++level) {
                m_out += "{\\listlevel\\levelnfc" + QByteArray::number(levelFormat[slot]) + "\\levelnfcn"
                    + QByteArray::number(levelFormat[slot]) + "\\leveljc0\\levelstartat1\\levelfollow0";
                if (slot == BulletList)
                    m_out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
                else
                    m_out += "{\\leveltext\\'02\\'" + QByteArray::number(level, 16).rightJustified(2, '0') + ".;}{\\levelnumbers\\'01;}";
                m_out += "\\fi-" + QByteArray::number(ListIndentTwips) + "\\li"
                    + QByteArray::number(2 * ListIndentTwips * (level + 1)) + '}';
            }
            m_out += "\\listid" + QByteArray::number(slot + 1) + "{\\listname ;}}";
        }
        m_out += "}\n{\\*\\listoverridetable";
        for (int slot = 0; slot < ListSlots; ++slot) {
            if (m_listUsed[slot]) {
                m_out += "{\\listoverride\\listid" + QByteArray::number(slot + 1) + "\\listoverridecount0\\ls"
                    + QByteArray::number(slot + 1) + '}';
            }
        }
        m_out += "}\n";
    }

    // Paragraphs and tables one after another, each paragraph ended by \par except the
    // last, which `lastEnd` ends (nothing in the body, \cell in a table).
    void writeFlow(QTextFrame::iterator it, int depth, const char *lastEnd)
    {
        while (!it.atEnd()) {
            QTextFrame::iterator next = it;
            ++next;
            const bool last = next.atEnd();
            if (QTextFrame *frame = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(frame))
                    writeTable(*table, heldTableDepth(depth + 1));
                else
                    writeFlow(frame->begin(), depth, "\\par\n");
                if (last) {
                    // Qt keeps a paragraph after every table; this only happens in frames we did not make.
                    writeParagraphStart(QTextBlockFormat(), depth);
                    m_out += ' ';
                    m_out += lastEnd;
                }
            } else {
                writeBlock(it.currentBlock(), depth);
                m_out += last ? lastEnd : "\\par\n";
            }
            it = next;
        }
    }

    void writeTable(const QTextTable &table, int depth)
    {
        const QTextTableFormat format = table.format();
        const int columns = table.columns();
        const QList<QTextLength> constraints = format.columnWidthConstraints();
        // A table without widths of its own shares out the room it has: the page, or for a
        // nested table the cell it sits in.
        const int room = m_room;
        std::vector<int> columnTwips;
        for (int column = 0; column < columns; ++column) {
            const QTextLength length = constraints.value(column);
            int twips = room / std::max(columns, 1);
            if (length.type() == QTextLength::FixedLength)
                twips = toTwips(length.rawValue());
            else if (length.type() == QTextLength::PercentageLength)
                twips = int(std::lround(room * length.rawValue() / 100.0));
            columnTwips.push_back(std::max(twips, 1));
        }
        const char *cellEnd = depth > 1 ? "\\nestcell " : "\\cell ";
        for (int r = 0; r < table.rows(); ++r) {
            const QByteArray row = rowDefinition(table, r, columnTwips, depth, format.border() > 0);
            // Older readers want the row's definition first, nested ones after its cells.
            if (depth == 1)
                m_out += row + '\n';
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() == r && cell.column() == c) {
                    int cellTwips = 0;
                    for (int spanned = c; spanned < std::min(c + cell.columnSpan(), columns); ++spanned)
                        cellTwips += columnTwips[std::size_t(spanned)];
                    m_room = roomInCell(cellTwips);
                    writeFlow(cell.begin(), depth, cellEnd);
                    m_room = room;
                } else {
                    // Covered by a merged cell: every row keeps a cell in every column.
                    writeParagraphStart(QTextBlockFormat(), depth);
                    m_out += ' ';
                    m_out += cellEnd;
                }
            }
            if (depth == 1)
                m_out += "\\row\n";
            else
                m_out += "{\\*\\nesttableprops" + row + "\\nestrow}{\\nonesttables\\par}\n";
        }
    }

    // One row's \trowd ... \cellx, with every column of the table. A merged cell is written
    // as the cells it covers, marked as Word 97 marks them: \clmgf then \clmrg across,
    // \clvmgf then \clvmrg down. Word and LibreOffice read both. Word now writes one wider
    // cell for a merge across instead, but then rows differ in their cells, and a reader
    // that does not lay rows on shared columns shows them out of line; with every column
    // in every row, even one that ignores the marks keeps the columns and the text.
    static QByteArray rowDefinition(const QTextTable &table, int r, const std::vector<int> &columnTwips,
                                    int depth, bool borders)
    {
        QByteArray row = "\\trowd\\trgaph" + QByteArray::number(CellGapTwips) + "\\trleft0";
        if (depth > 1)
            row += "\\itap" + QByteArray::number(depth);
        int right = 0;
        for (int c = 0; c < int(columnTwips.size()); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.columnSpan() > 1)
                row += c == cell.column() ? "\\clmgf" : "\\clmrg";
            if (cell.rowSpan() > 1)
                row += r == cell.row() ? "\\clvmgf" : "\\clvmrg";
            if (borders)
                row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            right += columnTwips[std::size_t(c)];
            row += "\\cellx" + QByteArray::number(right);
        }
        return row;
    }

    void writeParagraphStart(const QTextBlockFormat &format, int depth)
    {
        m_out += "\\pard";
        if (depth > 0)
            m_out += "\\intbl\\itap" + QByteArray::number(depth);
        if (format.hasProperty(QTextFormat::BlockAlignment)) {
            const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
            if (alignment & Qt::AlignRight)
                m_out += "\\qr";
            else if (alignment & Qt::AlignHCenter)
                m_out += "\\qc";
            else if (alignment & Qt::AlignJustify)
                m_out += "\\qj";
        }
    }

    void writeBlock(const QTextBlock &block, int depth)
    {
        const QTextBlockFormat format = block.blockFormat();
        writeParagraphStart(format, depth);
        const QTextList *list = block.textList();
        if (list) {
            writeListParagraph(block, *list);
        } else {
            const double left = format.leftMargin() + format.indent() * m_document.indentWidth();
            if (const int twips = toTwips(left))
                m_out += "\\li" + QByteArray::number(twips);
            if (const int twips = toTwips(format.textIndent()))
                m_out += "\\fi" + QByteArray::number(twips);
        }
        if (const int twips = toTwips(format.rightMargin()))
            m_out += "\\ri" + QByteArray::number(twips);
        if (const int twips = toTwips(format.topMargin()))
            m_out += "\\sb" + QByteArray::number(twips);
        if (const int twips = toTwips(format.bottomMargin()))
            m_out += "\\sa" + QByteArray::number(twips);
        m_out += ' ';

        QString link;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat charFormat = fragment.charFormat();
            // Neighbouring runs of one link share one field, as Word writes them.
            const QString href = charFormat.isAnchor() ? charFormat.anchorHref() : QString();
            if (href != link) {
                if (!link.isEmpty())
                    m_out += "}}";
                if (!href.isEmpty())
                    writeFieldStart(href);
                link = href;
            }
            const QByteArray properties = characterProperties(charFormat);
            if (!properties.isEmpty()) {
                // Appended piece by piece: '{' + properties built a temporary per run.
                m_out += '{';
                m_out += properties;
                m_out += ' ';
            }
            if (charFormat.isImageFormat()) {
                for (const QChar c : fragment.text()) {
                    if (c == QChar::ObjectReplacementCharacter)
                        writePicture(charFormat.toImageFormat());
                }
            } else {
                writeText(fragment.text(), false);
            }
            if (!properties.isEmpty())
                m_out += '}';
        }
        if (!link.isEmpty())
            m_out += "}}";
    }

    void writeFieldStart(const QString &href)
    {
        // Inside the quotes a backslash or quote is escaped with a backslash, as in Word's
        // field codes. A target read from a file can hold control characters, which text
        // never does: they go as \'hh, which the reader takes into an instruction as they are.
        QString target;
        m_out += "{\\field{\\*\\fldinst HYPERLINK \"";
        for (const QChar c : href) {
            if (c.unicode() < 0x20 && c != u'\t') {
                writeText(std::exchange(target, QString()), false);
                m_out += "\\'" + QByteArray::number(c.unicode(), 16).rightJustified(2, '0');
                continue;
            }
            if (c == u'\\' || c == u'"')
                target += u'\\';
            target += c;
        }
        writeText(target, false);
        m_out += "\"}{\\fldrslt ";
    }

    void writePicture(const QTextImageFormat &format)
    {
        QByteArray data = format.property(PictureData).toByteArray();
        const int kind = format.hasProperty(PictureKind) ? format.intProperty(PictureKind) : -1;
        if (kind == int(Picture::Kind::Other)) {
            // Kept as it came: the same words and bytes, whatever the screen showed.
            m_out += "{\\pict" + format.property(PictureWords).toByteArray() + '\n';
            writeHex(data);
            m_out += '}';
            return;
        }
        bool png = kind == int(Picture::Kind::Png);
        if (kind < 0) {
            // A picture that did not come from RTF: take the document's own image.
            const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
            if (resource.userType() == QMetaType::QByteArray) {
                data = resource.toByteArray();
                png = data.startsWith("\x89PNG");
                if (!png && !data.startsWith("\xFF\xD8"))
                    data = pngOf(QImage::fromData(data));
            } else if (resource.userType() == QMetaType::QImage || resource.userType() == QMetaType::QPixmap) {
                data = pngOf(qvariant_cast<QImage>(resource));
            }
            if (data.startsWith("\x89PNG"))
                png = true;
        }
        if (data.isEmpty())
            return;
        QBuffer buffer(&data);
        const QSize pixels = QImageReader(&buffer).size();
        int width = int(std::lround(format.width()));
        int height = int(std::lround(format.height()));
        if (width <= 0)
            width = std::max(pixels.width(), 1);
        if (height <= 0)
            height = std::max(pixels.height(), 1);
        m_out += png ? "{\\pict\\pngblip" : "{\\pict\\jpegblip";
        m_out += "\\picw" + QByteArray::number(pixels.isValid() ? pixels.width() : width) + "\\pich"
            + QByteArray::number(pixels.isValid() ? pixels.height() : height) + "\\picwgoal"
            + QByteArray::number(toTwips(width)) + "\\pichgoal" + QByteArray::number(toTwips(height)) + '\n';
        writeHex(data);
        m_out += '}';
    }

    static QByteArray pngOf(const QImage &image)
    {
        QByteArray bytes;
        if (image.isNull())
            return bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    void writeHex(QByteArrayView data)
    {
        static constexpr char digits[] = "0123456789abcdef";
        const qsizetype start = m_out.size();
        m_out.resize(start + data.size() * 2 + data.size() / 64 + 1);
        char *out = m_out.data() + start;
        for (qsizetype i = 0; i < data.size(); ++i) {
            const auto byte = std::uint8_t(data[i]);
            *out++ = digits[byte >> 4];
            *out++ = digits[byte & 15];
            if (i % 64 == 63)
                *out++ = '\n';
        }
        m_out.truncate(out - m_out.data());
    }

    void writeListParagraph(const QTextBlock &block, const QTextList &list)
    {
        const QTextListFormat listFormat = list.format();
        const ListSlot slot = slotFor(listFormat.style());
        const int level = std::clamp(listFormat.indent() - 1, 0, 8);
        // Old readers take the marker from \pntext and the \pn group; newer ones from the
        // list table through \ls. Each kind of reader skips the other's words.
        if (slot == BulletList) {
            m_out += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf" + QByteArray::number(m_symbolFont)
                + "\\pnindent0{\\pntxtb\\'B7}}";
        } else {
            m_out += "{\\pntext ";
            writeText(list.itemText(block), false);
            m_out += "\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1";
            m_out += pnFormat[slot];
            m_out += "{\\pntxta .}}";
        }
        m_out += "\\ls" + QByteArray::number(slot + 1) + "\\ilvl" + QByteArray::number(level) + "\\fi-"
            + QByteArray::number(ListIndentTwips) + "\\li" + QByteArray::number(2 * ListIndentTwips * (level + 1));
    }

    QByteArray characterProperties(const QTextCharFormat &format) const
    {
        QByteArray p;
        const QString family = familyOf(format);
        if (!family.isEmpty())
            p += "\\f" + QByteArray::number(m_fontIndex.value(family));
        if (format.hasProperty(QTextFormat::FontPointSize)) {
            const int halfPoints = int(std::lround(format.fontPointSize() * 2));
            if (halfPoints > 0)
                p += "\\fs" + QByteArray::number(halfPoints);
        }
        if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold)
            p += "\\b";
        if (format.fontItalic())
            p += "\\i";
        if (format.fontUnderline())
            p += "\\ul";
        if (format.fontStrikeOut())
            p += "\\strike";
        const QColor foreground = brushColor(format, QTextFormat::ForegroundBrush);
        if (foreground.isValid())
            p += "\\cf" + QByteArray::number(m_colorIndex.value(foreground.rgb()));
        const QColor background = brushColor(format, QTextFormat::BackgroundBrush);
        if (background.isValid()) {
            const QByteArray index = QByteArray::number(m_colorIndex.value(background.rgb()));
            p += "\\cb" + index + "\\highlight" + index;
        }
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            p += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            p += "\\sub";
        return p;
    }

    void writeUnicode(char16_t unit)
    {
        // Word writes the 16-bit unit as a signed number.
        m_out += "\\u" + QByteArray::number(int(std::int16_t(unit))) + '?';
    }

    void writeText(QStringView text, bool fontName)
    {
        for (const QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c >= 0x20 && c < 0x80) {
                if (c == '\\' || c == '{' || c == '}')
                    m_out += '\\';
                else if (fontName && c == ';') {
                    m_out += "\\'3b";
                    continue;
                }
                m_out += char(c);
                continue;
            }
            if (isDroppedCharacter(c))
                continue; // the reader would drop it too
            if (fontName) {
                // A font name is read as plain characters: named symbols like \~ would be lost.
                writeUnicode(c);
                continue;
            }
            switch (c) {
            case u'\t': m_out += "\\tab "; break;
            case 0x2028: m_out += "\\line "; break;
            case 0x00A0: m_out += "\\~"; break;
            case 0x00AD: m_out += "\\-"; break;
            case 0x2011: m_out += "\\_"; break;
            default:
                if (c >= 0x80)
                    writeUnicode(c);
                break;
            }
        }
    }

    const QTextDocument &m_document;
    QByteArray m_out;
    int m_room = PageTextWidthTwips; // the width a table without widths shares out
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    std::array<bool, ListSlots> m_listUsed{};
    int m_symbolFont = -1;
};

} // namespace

QByteArray write(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace rtf
