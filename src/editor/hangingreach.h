#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextFormat>

class QTextBlock;
class QTextDocument;
class QTextList;

// How far paragraphs reach left of the text column they belong to: a first line that hangs
// (a negative text indent larger than the left margin and list indent), or a list label,
// which Qt draws a space in front of the first line. The layout places these left of the
// root frame's content edge, where the editing area would cut them off; the editing area
// gives the root frame that much more left margin instead of touching the paragraphs,
// whose formats the writer saves as they are. (A negative left margin alone reaches
// nowhere: the layout keeps lines inside the column.)
//
// Works from the formats alone, so it needs no layout and costs little per paragraph.
// Errs on the generous side: alignment is ignored, a table cell counts as if it stood at
// the column's edge, and a list's label is measured at its widest number. It remembers
// what it learnt of lists, so one lives for one look at a document, not across changes.
class HangingReach
{
public:
    // Pixels the block reaches left of the column's edge; 0 when it stays inside.
    qreal of(const QTextBlock &block);
    // The furthest reach of the blocks from `first` up to and including `last`; an
    // invalid `last` runs to the end of the document.
    qreal over(const QTextBlock &first, const QTextBlock &last);

private:
    // What a list's paragraphs share, looked up once per list: lists are often short and
    // many, their labels and fonts few.
    struct ListFacts {
        int indent;
        int label; // into m_labels; NoLabel, or Bullet for the drawn bullets
    };
    static constexpr int NoLabel = -2;
    static constexpr int Bullet = -1;
    const ListFacts &factsOf(const QTextList &list);
    qreal labelWidth(const QTextBlock &block, const QTextBlockFormat &format, int label);

    QHash<const QTextList *, ListFacts> m_lists;
    QHash<QString, int> m_labelNumbers;
    QStringList m_labels;
    QHash<quint64, qreal> m_labelWidths; // by character format, label and check box
};

// The root frame property that records how much of the root frame's left margin is room
// made for hanging paragraphs rather than the document's own margin (a qreal, pixels).
constexpr int HangingRoomProperty = QTextFormat::UserProperty + 0x4100;

// The room the document's root frame holds for hanging paragraphs now.
qreal hangingRoom(const QTextDocument &document);
// Sets that room, keeping the rest of the root frame's format. Changes the document like
// any other format change: the caller decides what the undo stack sees of it.
void setHangingRoom(QTextDocument &document, qreal room);
