#include "rtf/documentbuilder.h"

#include <QTextDocument>
#include <QTextList>

namespace rtf {

namespace {

constexpr double TwipsPerPixel = 15.0;

// Qt touches every item of a list whenever one is added, so building a list costs the
// square of its length. Long lists are therefore split (numbering restarts, bullets look
// the same), and past a document-wide budget list paragraphs become plain indented ones.
constexpr int MaxListLength = 500;
constexpr int MaxListParagraphs = 20000;

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

} // namespace

DocumentBuilder::DocumentBuilder(QTextDocument &document)
    : m_document(document), m_cursor(&document), m_undoWasEnabled(document.isUndoRedoEnabled())
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
    if (!m_buffer.isEmpty() && !(style == m_bufferStyle))
        flush();
    if (m_buffer.isEmpty())
        m_bufferStyle = style;
    m_buffer.append(text);
}

void DocumentBuilder::paragraphEnd(const ParagraphStyle &style)
{
    flush();
    applyParagraph(style);
    m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void DocumentBuilder::documentEnd(const ParagraphStyle &style, bool applyStyle)
{
    flush();
    if (applyStyle)
        applyParagraph(style);
    m_cursor.endEditBlock();
    m_finished = true;
}

void DocumentBuilder::flush()
{
    if (m_buffer.isEmpty())
        return;
    m_cursor.insertText(m_buffer, formatFor(m_bufferStyle));
    m_buffer.resize(0);
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
    m_format = format;
    m_formatStyle = style;
    m_formatValid = true;
    return m_format;
}

} // namespace rtf
