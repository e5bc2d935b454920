#include "editor/hangingreach.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

#include <algorithm>

namespace {

// Letters in a Roman numeral as Qt writes list numbers (standard subtractive form).
int romanLength(int number)
{
    static constexpr int perDigit[10] = {0, 1, 2, 3, 2, 1, 2, 3, 4, 2};
    return number / 1000 + perDigit[number / 100 % 10] + perDigit[number / 10 % 10] + perDigit[number % 10];
}

// The item whose label is widest: numbers only grow with the count, except Roman ones,
// where 8 (VIII) is wider than 10 (X). Qt writes "?" from 5000 on.
int widestItem(const QTextList &list)
{
    const int count = list.count();
    const int style = list.format().style();
    if (style != QTextListFormat::ListLowerRoman && style != QTextListFormat::ListUpperRoman)
        return count;
    int widest = 1;
    for (int number = 2; number <= std::min(count, 4999); ++number) {
        if (romanLength(number) > romanLength(widest))
            widest = number;
    }
    return widest;
}

bool isNumbered(int style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        return true;
    default:
        return false;
    }
}

} // namespace

const HangingReach::ListFacts &HangingReach::factsOf(const QTextList &list)
{
    if (const auto found = m_lists.constFind(&list); found != m_lists.constEnd())
        return found.value();
    const QTextListFormat format = list.format();
    int label = NoLabel;
    if (isNumbered(format.style())) {
        // itemText looks the block up in the list: once per list, not once per item.
        const QString text = list.itemText(list.item(widestItem(list) - 1));
        label = m_labelNumbers.value(text, int(m_labels.size()));
        if (label == m_labels.size()) {
            m_labels.append(text);
            m_labelNumbers.insert(text, label);
        }
    } else if (format.style() != QTextListFormat::ListStyleUndefined) {
        label = Bullet;
    }
    return m_lists.insert(&list, ListFacts{format.indent(), label}).value();
}

qreal HangingReach::labelWidth(const QTextBlock &block, const QTextBlockFormat &format, int label)
{
    const bool checkBox = format.marker() != QTextBlockFormat::MarkerType::NoMarker;
    const quint64 key = quint64(quint32(block.charFormatIndex())) << 32 | quint32(label - Bullet) << 1 | checkBox;
    if (const auto found = m_labelWidths.constFind(key); found != m_labelWidths.constEnd())
        return found.value();

    // As Qt draws it: the label in the block's character format, then a space, in front of
    // the first line; bullets are a third of a line high and wide.
    const QFontMetrics metrics(block.charFormat().font());
    qreal width = label == Bullet ? metrics.lineSpacing() / 3 : metrics.horizontalAdvance(m_labels.at(label));
    if (checkBox)
        width += 2 * (metrics.lineSpacing() / 6); // the box drawn round the label
    width += metrics.horizontalAdvance(QLatin1Char(' '));
    m_labelWidths.insert(key, width);
    return width;
}

qreal HangingReach::of(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    const qreal textIndent = format.textIndent();
    const QTextList *list = format.objectIndex() == -1
                                ? nullptr
                                : qobject_cast<const QTextList *>(block.document()->objectForFormat(format));
    if (textIndent >= 0 && !list)
        return 0; // the common case: nothing can reach left

    int levels = format.indent();
    int label = NoLabel;
    if (list) {
        const ListFacts &facts = factsOf(*list);
        levels += facts.indent;
        label = facts.label;
    }
    // The layout keeps lines inside the column whatever the left margin (a negative one
    // counts as none); only the first line's indent and the label go further.
    const qreal lines = std::max<qreal>(0, format.leftMargin() + levels * block.document()->indentWidth());
    qreal leftmost = lines + textIndent;
    if (label != NoLabel)
        leftmost -= labelWidth(block, format, label);
    if (leftmost >= 0)
        return 0;
    // Right-to-left paragraphs indent their first line and put the label on the right.
    // Finding the direction reads the paragraph's text, so only paragraphs that would
    // reach left pay for it.
    if (block.textDirection() == Qt::RightToLeft)
        return 0;
    return -leftmost;
}

qreal HangingReach::over(const QTextBlock &first, const QTextBlock &last)
{
    qreal reach = 0;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        reach = std::max(reach, of(block));
        if (block == last)
            break;
    }
    return reach;
}

qreal hangingRoom(const QTextDocument &document)
{
    return document.rootFrame()->frameFormat().doubleProperty(HangingRoomProperty);
}

void setHangingRoom(QTextDocument &document, qreal room)
{
    QTextFrame *root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    const qreal ownMargin = format.leftMargin() - format.doubleProperty(HangingRoomProperty);
    format.setLeftMargin(ownMargin + room);
    format.setProperty(HangingRoomProperty, room);
    root->setFrameFormat(format);
}
