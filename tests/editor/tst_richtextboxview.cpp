// What the editing area shows of paragraphs that reach left of the margin and of page
// breaks, and that showing them leaves the document as it was.
#include "editor/hangingreach.h"
#include "editor/richtextbox.h"
#include "editor/textdecoding.h"
#include "rtf/rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

namespace {

// Where the layout puts things, in viewport pixels.
QPointF contentOffset(const RichTextBox &box)
{
    return {qreal(box.horizontalScrollBar()->value()), qreal(box.verticalScrollBar()->value())};
}

QRectF blockBox(const RichTextBox &box, const QTextBlock &block)
{
    return box.document()->documentLayout()->blockBoundingRect(block).translated(-contentOffset(box));
}

// The leftmost pixel of any line of the block, and of the label Qt draws in front of a list
// item's first line (a space, then the label, in the block's character format).
qreal leftmostInk(const RichTextBox &box, const QTextBlock &block)
{
    blockBox(box, block); // lays the block out
    const QTextLayout *layout = block.layout();
    const qreal x = layout->position().x() - contentOffset(box).x();
    qreal left = std::numeric_limits<qreal>::max();
    for (int i = 0; i < layout->lineCount(); ++i)
        left = std::min(left, x + layout->lineAt(i).naturalTextRect().left());
    if (QTextList *list = block.textList()) {
        const QFontMetrics metrics(block.charFormat().font());
        const qreal label = list->format().style() == QTextListFormat::ListDisc
                                ? metrics.lineSpacing() / 3
                                : metrics.horizontalAdvance(list->itemText(block));
        left = std::min(left, x + layout->lineAt(0).naturalTextRect().left() - label
                                  - metrics.horizontalAdvance(QLatin1Char(' ')));
    }
    return left;
}

QString describe(const QTextBlock &block)
{
    return QStringLiteral("block %1 \"%2\"").arg(block.blockNumber()).arg(block.text().left(20));
}

void verifyAllInkShows(const RichTextBox &box)
{
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        const qreal left = leftmostInk(box, block);
        QVERIFY2(left >= 0, qPrintable(describe(block) + QStringLiteral(" starts at x %1").arg(left)));
    }
}

QTextBlock appendBlock(QTextCursor &cursor, const QTextBlockFormat &format, const QString &text)
{
    cursor.insertBlock(format);
    cursor.insertText(text);
    return cursor.block();
}

// Rows of the image where at least a third of the pixels have the page break colour.
QList<int> pageBreakRows(const QImage &image)
{
    QList<int> rows;
    const QRgb colour = RichTextBox::pageBreakColour().rgb();
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
        if (count * 3 >= image.width())
            rows.append(y);
    }
    return rows;
}

QImage viewportImage(RichTextBox &box)
{
    return box.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The last line of `above` ends at or above the row, the first line of `below` starts at or
// below it: the line runs in the space between two paragraphs, over no text.
void verifyBetween(const RichTextBox &box, int row, const QTextBlock &above, const QTextBlock &below)
{
    QVERIFY2(blockBox(box, above).bottom() <= row + 1,
             qPrintable(QStringLiteral("row %1 crosses %2").arg(row).arg(describe(above))));
    QVERIFY2(blockBox(box, below).top() >= row,
             qPrintable(QStringLiteral("row %1 crosses %2").arg(row).arg(describe(below))));
}

// Enough paragraphs that a change to all of them is laid out in the background.
QString manyParagraphs()
{
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("paragraph %1 with enough words to be worth laying out").arg(i);
    return lines.join('\n');
}

} // namespace

class TestRichTextBoxView : public QObject
{
    Q_OBJECT
private slots:
    void hangingParagraphsFromAFileShowWhole();
    void listLabelsShowInFrontOfHangingItems();
    void roomGrowsWithTheEditThatNeedsItAndUndoesWithIt();
    void pageBreaksShowAsLinesBetweenParagraphs();
    void largeChangesAreLaidOutLaterAndUndoWhole();
    void theEndOfADocumentNotLaidOutIsReachedOnceItIs();
    void everythingFormattedAndUndoneBeforeTheLayoutGetsThere();
    void longDocumentsShowWithTheirScrollBarAndSaveAsRead();
    void documentsTallerThanTheToolkitsEndlessPageAreLaidOut();
};

void TestRichTextBoxView::hangingParagraphsFromAFileShowWhole()
{
    // A first line hanging left of no indent (Word's hanging paragraph), a paragraph wholly
    // left of the margin, and an ordinary one.
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                           "\\pard\\li0\\fi-720 Hanging first line that wraps: " + QByteArray(200, 'w').replace("w", "word ")
                           + "\\par\\pard\\li-360 Heading left of the margin\\par"
                           "\\pard Ordinary\\par}";
    QTemporaryDir dir;
    const QString path = dir.filePath("hanging.rtf");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf);
    }
    RichTextBox box;
    box.resize(500, 400);
    QVERIFY(box.loadFile(path, DocumentKind::Rtf).ok());
    box.show();
    verifyAllInkShows(box);

    // The room is the root frame's, never the paragraphs': they and what is saved stay as
    // read without the editing area.
    QTextDocument read;
    read.setDefaultFont(box.font());
    QVERIFY(!rtf::read(rtf, read));
    QCOMPARE(box.document()->blockCount(), read.blockCount());
    for (QTextBlock mine = box.document()->begin(), theirs = read.begin(); mine.isValid();
         mine = mine.next(), theirs = theirs.next()) {
        QCOMPARE(mine.blockFormat(), theirs.blockFormat());
    }
    QCOMPARE(rtf::write(*box.document()), rtf::write(read));
    QCOMPARE(hangingRoom(*box.document()), 48.0);
    // Opening is no edit: nothing to undo.
    QVERIFY(!box.document()->isUndoAvailable());

    // A document with nothing hanging gets no room; nor does a negative left margin, which
    // the layout keeps inside the column.
    for (const QByteArray &unhung : {QByteArray("{\\rtf1 \\li-360 Left of the margin\\par}"), rtf}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(unhung);
        file.close();
        QVERIFY(box.loadFile(path, unhung == rtf ? DocumentKind::PlainText : DocumentKind::Rtf).ok());
        QCOMPARE(hangingRoom(*box.document()), 0.0);
        QCOMPARE(box.document()->rootFrame()->frameFormat().leftMargin(), box.document()->documentMargin());
        verifyAllInkShows(box);
    }
}

void TestRichTextBoxView::listLabelsShowInFrontOfHangingItems()
{
    // Qt puts the label a space and its own width in front of the first line, so a first
    // line pulled back by a negative text indent or a negative margin takes the label past
    // the margin. Each case in a box of its own, so that none makes room for another.
    struct Case {
        QTextListFormat::Style style;
        int listIndent;
        qreal leftMargin;
        qreal textIndent;
        int items;
    };
    const Case cases[] = {
        // The widest Roman label (VIII.) is not the last one (X.).
        {QTextListFormat::ListUpperRoman, 1, 0, -30, 10},
        {QTextListFormat::ListDisc, 0, -10, 0, 2},
        {QTextListFormat::ListDecimal, 3, 0, -150, 12},
    };
    for (const Case &c : cases) {
        RichTextBox box;
        box.resize(500, 600);
        box.show();
        QTextCursor cursor(box.document());
        cursor.beginEditBlock();
        cursor.insertText("Plain");
        QTextListFormat listFormat;
        listFormat.setStyle(c.style);
        listFormat.setIndent(c.listIndent);
        QTextBlockFormat format;
        format.setLeftMargin(c.leftMargin);
        format.setTextIndent(c.textIndent);
        const QTextBlock first = appendBlock(cursor, format, "item 1");
        QTextList *list = cursor.createList(listFormat);
        for (int i = 2; i <= c.items; ++i)
            list->add(appendBlock(cursor, format, QStringLiteral("item %1").arg(i)));
        cursor.endEditBlock();

        verifyAllInkShows(box);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(first.blockFormat().textIndent(), c.textIndent);
        QCOMPARE(first.blockFormat().leftMargin(), c.leftMargin);
        QCOMPARE(first.textList()->format().indent(), c.listIndent);
    }
}

void TestRichTextBoxView::roomGrowsWithTheEditThatNeedsItAndUndoesWithIt()
{
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    box.replaceWithText("one");
    // Properties the reader keeps on the root frame survive the room coming and going.
    const int kept = QTextFormat::UserProperty + 0x5380;
    QTextFrameFormat rootFormat = box.document()->rootFrame()->frameFormat();
    rootFormat.setProperty(kept, QByteArray("\\ansi"));
    box.document()->rootFrame()->setFrameFormat(rootFormat);
    const qreal margin = box.document()->documentMargin();

    box.moveCursor(QTextCursor::End);
    QTextCursor cursor = box.textCursor();
    cursor.beginEditBlock();
    QTextBlockFormat hanging;
    hanging.setTextIndent(-40);
    const QTextBlock added = appendBlock(cursor, hanging, "hangs");
    cursor.endEditBlock();
    const QTextFrameFormat grown = box.document()->rootFrame()->frameFormat();
    QCOMPARE(grown.leftMargin(), margin + 40);
    QCOMPARE(grown.property(kept).toByteArray(), QByteArray("\\ansi"));
    verifyAllInkShows(box);

    // Typing in the hanging paragraph leaves the room as it is, and the paragraph's format.
    box.setTextCursor(cursor);
    QTest::keyClicks(&box, "xyz");
    QCOMPARE(hangingRoom(*box.document()), 40.0);
    QCOMPARE(added.blockFormat().textIndent(), -40.0);

    // The room is part of the edit that called for it: one undo takes both away (after the
    // typing's own), one redo brings both back.
    box.undo();
    QCOMPARE(box.toPlainText(), QStringLiteral("one\nhangs"));
    box.undo();
    QCOMPARE(box.toPlainText(), QStringLiteral("one"));
    QCOMPARE(hangingRoom(*box.document()), 0.0);
    QCOMPARE(box.document()->rootFrame()->frameFormat().leftMargin(), margin);
    QCOMPARE(box.document()->rootFrame()->frameFormat().property(kept).toByteArray(), QByteArray("\\ansi"));
    box.redo();
    QCOMPARE(box.toPlainText(), QStringLiteral("one\nhangs"));
    QCOMPARE(hangingRoom(*box.document()), 40.0);
    verifyAllInkShows(box);

    // Replacing the text starts over.
    box.replaceWithText("plain again");
    QCOMPARE(hangingRoom(*box.document()), 0.0);
}

void TestRichTextBoxView::pageBreaksShowAsLinesBetweenParagraphs()
{
    RichTextBox box;
    box.resize(400, 200);
    box.show();
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("line %1").arg(i);
    box.replaceWithText(lines.join('\n'));
    const auto setBreak = [&](int number, QTextFormat::PageBreakFlags policy, qreal bottomMargin = 0) {
        QTextBlockFormat format;
        format.setPageBreakPolicy(policy);
        format.setBottomMargin(bottomMargin);
        QTextCursor(box.document()->findBlockByNumber(number)).mergeBlockFormat(format);
        return box.document()->findBlockByNumber(number);
    };
    const QTextBlock before = setBreak(1, QTextFormat::PageBreak_AlwaysBefore);
    const QTextBlock after = setBreak(2, QTextFormat::PageBreak_AlwaysAfter, 20);
    const QTextBlock far = setBreak(150, QTextFormat::PageBreak_AlwaysBefore);

    QList<int> rows = pageBreakRows(viewportImage(box));
    QCOMPARE(rows.size(), 2);
    verifyBetween(box, rows[0], before.previous(), before);
    verifyBetween(box, rows[1], after, after.next());
    // In the space after the paragraph, not on its edge.
    QVERIFY(rows[1] > blockBox(box, after).bottom() + 5);

    // Found through the layout wherever the view is scrolled to.
    QTextCursor cursor(far);
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
    QVERIFY(box.verticalScrollBar()->value() > 0);
    rows = pageBreakRows(viewportImage(box));
    QCOMPARE(rows.size(), 1);
    verifyBetween(box, rows[0], far.previous(), far);

    // Drawn, never typed: formats as they were, no room taken.
    QCOMPARE(far.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    QCOMPARE(far.blockFormat().bottomMargin(), 0.0);
    QCOMPARE(hangingRoom(*box.document()), 0.0);
}

void TestRichTextBoxView::largeChangesAreLaidOutLaterAndUndoWhole()
{
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    box.replaceWithText(manyParagraphs());
    QAbstractTextDocumentLayout *layout = box.document()->documentLayout();
    const QTextBlock last = box.document()->lastBlock();
    layout->documentSize(); // laid out in full
    QVERIFY(last.layout()->lineCount() > 0);

    // Scrolled to the middle, everything selected: bold lands everywhere at once, the view
    // stays where it was, and the layout of the end waits for later.
    box.selectWholeDocument();
    box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum() / 2);
    const int scrolled = box.verticalScrollBar()->value();
    box.setSelectionBold(true);
    QCOMPARE(box.verticalScrollBar()->value(), scrolled);
    QCOMPARE(last.layout()->lineCount(), 0);
    const auto boldEverywhere = [&](bool on) {
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if ((it.fragment().charFormat().fontWeight() == QFont::Bold) != on)
                    return false;
            }
        }
        return true;
    };
    QVERIFY(boldEverywhere(true));
    QTRY_VERIFY(last.layout()->lineCount() > 0);

    // One step of the history, undone and redone whole; the view follows the caret there.
    box.undo();
    QVERIFY(boldEverywhere(false));
    QVERIFY(!box.document()->isUndoAvailable());
    box.verticalScrollBar()->setValue(0);
    box.redo();
    QVERIFY(boldEverywhere(true));
    QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
    QCOMPARE(box.toPlainText(), manyParagraphs());

    // A small change is laid out at once, as before.
    QTextCursor(box.document()->begin()).insertText("x");
    QTRY_VERIFY(last.layout()->lineCount() > 0);
    QTextCursor(box.document()->begin()).insertText("y");
    QVERIFY(last.layout()->lineCount() > 0);
}

void TestRichTextBoxView::theEndOfADocumentNotLaidOutIsReachedOnceItIs()
{
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    const QString text = manyParagraphs();

    // The caret gets there, and into view, as the layout does; nothing is laid out at once.
    box.replaceWithText(text);
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(box.document()->lastBlock().layout()->lineCount(), 0);
    QTRY_VERIFY(box.textCursor().atEnd());
    QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
    QVERIFY(box.verticalScrollBar()->value() > 0);

    // Whatever comes next acts after the move, as if it had been made at once: typing lands
    // at the end, a format lands on the selection made.
    box.replaceWithText(text);
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&box, "!");
    QCOMPARE(box.toPlainText(), text + "!");
    box.replaceWithText(text);
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    box.setSelectionBold(true);
    QCOMPARE(box.textCursor().selectionStart(), 0);
    QVERIFY(box.textCursor().atEnd());
    QCOMPARE(QTextCursor(box.document()->lastBlock()).charFormat().fontWeight(), int(QFont::Bold));
    box.replaceWithText(text);
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    box.selectWholeDocument();
    QTRY_COMPARE(box.textCursor().selectedText().size(), text.size());
    QVERIFY(box.textCursor().atEnd());

    // Selecting all waits the same way, by key or command.
    box.replaceWithText(text);
    box.selectWholeDocument();
    QCOMPARE(box.document()->lastBlock().layout()->lineCount(), 0);
    QTRY_COMPARE(box.textCursor().selectedText().size(), text.size());
    box.replaceWithText(text);
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&box, "x");
    QCOMPARE(box.toPlainText(), QStringLiteral("x"));
}

void TestRichTextBoxView::everythingFormattedAndUndoneBeforeTheLayoutGetsThere()
{
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    const QString text = manyParagraphs();
    box.replaceWithText(text);
    const QTextBlock last = box.document()->lastBlock();
    const auto weightAtEnd = [&] { return QTextCursor(box.document()->lastBlock()).charFormat().fontWeight(); };

    // Bold before Select all has waited its turn: on everything, and nothing laid out for it.
    box.selectWholeDocument();
    box.setSelectionBold(true);
    QCOMPARE(box.textCursor().selectedText().size(), text.size());
    QCOMPARE(weightAtEnd(), int(QFont::Bold));
    QCOMPARE(last.layout()->lineCount(), 0);

    // The undo key takes it all back at once; the caret comes into view as the layout gets there.
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(weightAtEnd(), int(QFont::Normal));
    QCOMPARE(last.layout()->lineCount(), 0);
    QTRY_VERIFY(box.viewport()->rect().contains(box.cursorRect()));
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(weightAtEnd(), int(QFont::Bold));
    QCOMPARE(box.toPlainText(), text);
}

void TestRichTextBoxView::longDocumentsShowWithTheirScrollBarAndSaveAsRead()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    const auto open = [&](const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(box.loadFile(path, DocumentKind::PlainText).ok());
        box.viewport()->grab();
    };
    const auto savedBytes = [&] {
        const QString path = dir.filePath("saved.txt");
        if (!box.saveFile(path, DocumentKind::PlainText).ok())
            return QByteArray("not saved");
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("not read");
    };

    // One line of a million characters (read on a thread of its own, and shown in pieces),
    // with the odd one that is no ASCII, and line ends of each kind after it.
    QByteArray line;
    for (int i = 0; line.size() < 1'000'000; ++i)
        line += i % 1000 == 999 ? "na\xC3\xAFve " : "words ";
    const QByteArray text = line + "\r\nshort\rlast\n";
    open("line.txt", text);
    QCOMPARE(box.document()->blockCount(), 1'000'000 / PlainText::LinePieceLength + 1 + 3);
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= PlainText::LinePieceLength);
    QVERIFY(box.verticalScrollBar()->isVisible());
    QCOMPARE(box.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(savedBytes(), text);

    open("short.txt", "a few words");
    QVERIFY(!box.verticalScrollBar()->isVisible());
    QCOMPARE(savedBytes(), QByteArray("a few words"));
}

// The toolkit's endless page ends at 8,388,607 pixels, and its layout never got past that.
void TestRichTextBoxView::documentsTallerThanTheToolkitsEndlessPageAreLaidOut()
{
    RichTextBox box;
    box.resize(400, 300);
    box.show();
    box.replaceWithText(QStringLiteral("x\n").repeated(5000));
    QTextCursor all(box.document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spaced;
    spaced.setTopMargin(2000);
    all.mergeBlockFormat(spaced);
    // A new width gives the document a new page, as the toolkit sees it.
    box.resize(500, 300);

    const QAbstractTextDocumentLayout *layout = box.document()->documentLayout();
    QVERIFY(layout->blockBoundingRect(box.document()->lastBlock()).bottom() > 9'000'000);
    QVERIFY(layout->documentSize().height() > 9'000'000);

    // The same read from a file with a page break: the paragraph after it stays in its place.
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 5000; ++i)
        rtf += i == 100 ? "\\page\\pard\\sb31680 x\\par " : "\\pard\\sb31680 x\\par ";
    rtf += '}';
    QTemporaryDir dir;
    const QString path = dir.filePath("tall.rtf");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf);
    }
    QVERIFY(box.loadFile(path, DocumentKind::Rtf).ok());
    const QTextDocument *read = box.document();
    QVERIFY(rtf::startsPage(read->findBlockByNumber(100).blockFormat()));
    QVERIFY(read->documentLayout()->documentSize().height() > 9'000'000);
    const QRectF broken = read->documentLayout()->blockBoundingRect(read->findBlockByNumber(100));
    const QRectF before = read->documentLayout()->blockBoundingRect(read->findBlockByNumber(99));
    QVERIFY(broken.top() - before.bottom() < 3000);
}

QTEST_MAIN(TestRichTextBoxView)
#include "tst_richtextboxview.moc"
