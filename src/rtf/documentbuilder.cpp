#include "rtf/documentbuilder.h"

#include "rtf/pictureformat.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

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

// Twips: a letter page's text width, shared by columns without \cellx; the width of a
// column whose \cellx does not move right; the widest column kept.
constexpr int DefaultTableWidth = 9360;
constexpr int DefaultColumnWidth = 1440;
constexpr int CellGapTwips = 108;    // \trgaph: the space on each side of a cell's text
constexpr int MinRoomTwips = 144;
constexpr int MaxColumnWidth = 31680;

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

} // namespace

DocumentBuilder::DocumentBuilder(QTextDocument &document)
    : m_document(document), m_cursor(&document), m_undoWasEnabled(document.isUndoRedoEnabled()),
      m_room(DefaultTableWidth)
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
    if (!m_runs.empty() && !m_runs.back().picture && m_runs.back().style == style) {
        m_runs.back().text.append(text);
        return;
    }
    m_runs.push_back(Run{style, text.toString(), nullptr});
}

void DocumentBuilder::picture(const Picture &picture, const TextStyle &style)
{
    m_runs.push_back(Run{style, QString(), std::make_unique<Picture>(picture)});
}

DocumentBuilder::Paragraph DocumentBuilder::takeParagraph(const ParagraphStyle &style)
{
    Paragraph paragraph{std::move(m_runs), style};
    m_runs.clear();
    return paragraph;
}

void DocumentBuilder::paragraphEnd(const ParagraphStyle &style)
{
    const std::size_t depth = std::min(std::size_t(std::max(style.tableDepth, 0)), MaxTableDepth);
    openTables(depth);
    Paragraph paragraph = takeParagraph(style);
    if (depth == 0)
        insertParagraph(paragraph);
    else
        m_open.back()->cell.content.push_back(Content{std::move(paragraph), nullptr});
}

void DocumentBuilder::cellEnd(const ParagraphStyle &style, int depth)
{
    openTables(std::clamp(std::size_t(std::max(depth, 1)), std::size_t(1), MaxTableDepth));
    Table &table = *m_open.back();
    table.cell.content.push_back(Content{takeParagraph(style), nullptr});
    endCellOf(table);
}

void DocumentBuilder::rowEnd(const RowFormat &row, int depth)
{
    const std::size_t wanted = std::clamp(std::size_t(std::max(depth, 1)), std::size_t(1), MaxTableDepth);
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
    const std::size_t depth = std::min(std::size_t(std::max(style.tableDepth, 0)), MaxTableDepth);
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
    // Rows with as many cells as the row before join its table; a row that differs starts
    // the next one.
    std::size_t first = 0;
    for (std::size_t i = 1; i <= table.rows.size(); ++i) {
        if (i == table.rows.size() || table.rows[i].cells.size() != table.rows[first].cells.size()) {
            insertRows(table.rows, first, i);
            first = i;
        }
    }
    m_lists.fill(nullptr);
}

void DocumentBuilder::insertRows(std::vector<Row> &rows, std::size_t first, std::size_t end)
{
    const int columns = int(rows[first].cells.size());
    const RowFormat &format = rows[first].format;
    QTextTableFormat tableFormat;
    tableFormat.setCellSpacing(0);
    tableFormat.setCellPadding(3);
    tableFormat.setBorderCollapse(true);
    tableFormat.setBorder(format.borders ? 1 : 0);
    tableFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tableFormat.setBorderBrush(QColor(Qt::black));
    // Every column gets a width, so that what is saved reads back the same: from \cellx
    // where each cell has one, else an equal share of the page.
    QList<QTextLength> widths;
    const bool given = format.cellRight.size() == std::size_t(columns);
    int left = format.left;
    // A row without widths shares out the room it has: the page, or the cell it sits in.
    const int room = m_room;
    std::vector<int> columnTwips;
    for (int column = 0; column < columns; ++column) {
        int twips = room / columns;
        if (given) {
            const int right = format.cellRight[std::size_t(column)];
            twips = right > left ? right - left : DefaultColumnWidth;
            left = right;
        }
        widths << QTextLength(QTextLength::FixedLength, std::min(twips, MaxColumnWidth) / TwipsPerPixel);
        columnTwips.push_back(std::min(twips, MaxColumnWidth));
    }
    tableFormat.setColumnWidthConstraints(widths);
    QTextTable *table = m_cursor.insertTable(int(end - first), columns, tableFormat);

    // Cells are filled from the last to the first, so that what goes into one cell never
    // moves the cells still to fill and their places are looked up only once.
    std::vector<int> positions;
    positions.reserve((end - first) * std::size_t(columns));
    for (int row = 0; row < int(end - first); ++row) {
        for (int column = 0; column < columns; ++column)
            positions.push_back(table->cellAt(row, column).firstPosition());
    }
    for (std::size_t row = end; row-- > first;) {
        auto &cells = rows[row].cells;
        for (std::size_t column = cells.size(); column-- > 0;) {
            m_cursor.setPosition(positions[(row - first) * std::size_t(columns) + column]);
            m_room = std::max(columnTwips[column] - 2 * CellGapTwips, MinRoomTwips);
            insertCell(cells[column]);
            m_room = room;
        }
    }
    // Qt puts an empty paragraph after a table: the next paragraph goes there.
    m_cursor.setPosition(table->lastPosition() + 1);
    m_paragraphBefore = false;
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

const QTextCharFormat &DocumentBuilder::formatFor(const TextStyle &style)
{
    if (m_formatValid && style == m_formatStyle)
        return m_format;
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
    m_format = format;
    m_formatStyle = style;
    m_formatValid = true;
    return m_format;
}

} // namespace rtf
