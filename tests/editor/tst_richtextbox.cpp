#include "editor/richtextbox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Selects characters [from, to) of the document.
void select(RichTextBox &box, int from, int to)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

QTextCharFormat formatAt(RichTextBox &box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT
private slots:
    void selectionAttributesActOnTheSelection();
    void attributesWithoutSelectionApplyToTheTextTypedNext();
    void typefaceNameIsKeptExactly();
    void paragraphAttributesActOnEveryTouchedParagraph();
    void selectionTextReplacesOrInserts();
    void textAndBackColour();
    void failedLoadLeavesTheDocumentAsItWas();
    void plainTextRoundTrip();
};

void TestRichTextBox::selectionAttributesActOnTheSelection()
{
    RichTextBox box;
    box.replaceWithText("abcdef");
    select(box, 1, 3);
    box.setSelectionColor(Qt::red);
    box.setSelectionFontSize(30);
    box.setSelectionBold(true);
    box.setSelectionItalic(true);
    box.setSelectionUnderline(true);
    box.setSelectionStrikethrough(true);

    const QTextCharFormat inside = formatAt(box, 2);
    QCOMPARE(inside.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(inside.fontPointSize(), 30.0);
    QCOMPARE(inside.fontWeight(), int(QFont::Bold));
    QVERIFY(inside.fontItalic() && inside.fontUnderline() && inside.fontStrikeOut());

    const QTextCharFormat outside = formatAt(box, 4);
    QVERIFY(outside.fontWeight() != QFont::Bold);
    QVERIFY(!outside.fontItalic() && !outside.fontUnderline() && !outside.fontStrikeOut());

    select(box, 1, 3);
    box.setSelectionBold(false);
    box.setSelectionStrikethrough(false);
    QVERIFY(formatAt(box, 2).fontWeight() != QFont::Bold);
    QVERIFY(!formatAt(box, 2).fontStrikeOut());
    QVERIFY(formatAt(box, 2).fontItalic());
}

void TestRichTextBox::attributesWithoutSelectionApplyToTheTextTypedNext()
{
    RichTextBox box;
    box.replaceWithText("ab");
    box.moveCursor(QTextCursor::End);
    box.setSelectionBold(true);
    box.setSelectionColor(Qt::green);
    QTest::keyClicks(&box, "cd");
    QCOMPARE(box.toPlainText(), QStringLiteral("abcd"));
    QCOMPARE(formatAt(box, 2).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(box, 3).foreground().color(), QColor(0, 255, 0));
    QVERIFY(formatAt(box, 1).fontWeight() != QFont::Bold);
}

void TestRichTextBox::typefaceNameIsKeptExactly()
{
    RichTextBox box;
    box.replaceWithText("x");
    for (const QString name : {"arial black", "Century Gothic", "Small Fonts"}) {
        box.selectAll();
        box.setSelectionFontName(name);
        QCOMPARE(formatAt(box, 0).fontFamilies().toStringList(), QStringList{name});
    }
}

void TestRichTextBox::paragraphAttributesActOnEveryTouchedParagraph()
{
    RichTextBox box;
    box.replaceWithText("one\ntwo\nthree");
    select(box, 2, 5); // from inside "one" into "two"
    box.setSelectionAlignment(Qt::AlignHCenter);
    box.setSelectionBullet(true);

    const QTextBlock one = box.document()->findBlockByNumber(0);
    const QTextBlock two = one.next();
    const QTextBlock three = two.next();
    QVERIFY(one.blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(two.blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(!(three.blockFormat().alignment() & Qt::AlignHCenter));
    QVERIFY(one.textList() && one.textList() == two.textList());
    QCOMPARE(one.textList()->format().style(), QTextListFormat::ListDisc);
    QVERIFY(!three.textList());

    // Bullets on again extend the same list; off takes the touched paragraphs out.
    select(box, 6, 9);
    box.setSelectionBullet(true);
    QCOMPARE(three.textList(), one.textList());
    select(box, 5, 5);
    box.setSelectionBullet(false);
    box.setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    QVERIFY(!two.textList());
    QVERIFY(one.textList() && three.textList());
    QVERIFY(two.blockFormat().alignment() & Qt::AlignRight);
    box.setSelectionAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    QVERIFY(two.blockFormat().alignment() & Qt::AlignLeft);
}

void TestRichTextBox::selectionTextReplacesOrInserts()
{
    RichTextBox box;
    box.replaceWithText("Hello world");
    select(box, 6, 11);
    box.setSelectionText("Dear");
    QCOMPARE(box.toPlainText(), QStringLiteral("Hello Dear"));
    box.setSelectionText("Hi");
    box.setSelectionText("Hi");
    QCOMPARE(box.toPlainText(), QStringLiteral("Hello DearHiHi"));
    select(box, 0, 6);
    box.setSelectionText(QString());
    QCOMPARE(box.toPlainText(), QStringLiteral("DearHiHi"));
}

void TestRichTextBox::textAndBackColour()
{
    RichTextBox box;
    box.replaceWithText("abc");
    box.setBackColor(Qt::red);
    box.replaceWithText(QString());
    QVERIFY(box.document()->isEmpty());
    QCOMPARE(box.backColor(), QColor(Qt::red));
    QCOMPARE(box.palette().color(QPalette::Base), QColor(255, 0, 0));
}

void TestRichTextBox::failedLoadLeavesTheDocumentAsItWas()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.replaceWithText("keep me");
    box.selectAll();
    box.setSelectionBold(true);

    const QString notRtf = dir.filePath("not.rtf");
    writeFile(notRtf, "plain words, not rtf");
    for (const QString &name : {dir.filePath("missing.rtf"), notRtf, QString(), dir.path()}) {
        Status status = box.loadFile(name, DocumentKind::Rtf);
        QVERIFY(!status.ok());
        QVERIFY(!status.error().description.isEmpty());
        QCOMPARE(box.toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(formatAt(box, 1).fontWeight(), int(QFont::Bold));
    }
    QCOMPARE(box.loadFile(notRtf, DocumentKind::Rtf).error().number, ErrorNumber::InvalidFileFormat);

    // A paragraph longer than the layout can take is refused, not shown and crashed on (a
    // text file's line that long is shown in pieces).
    const QString oneLine = dir.filePath("one-paragraph.rtf");
    writeFile(oneLine, "{\\rtf1 " + QByteArray((1 << 25) + 1, 'a') + "}");
    const Status tooLong = box.loadFile(oneLine, DocumentKind::Rtf);
    QVERIFY(!tooLong.ok());
    QVERIFY2(tooLong.error().description.contains("too long"), qPrintable(tooLong.error().description));
    QCOMPARE(box.toPlainText(), QStringLiteral("keep me"));
}

void TestRichTextBox::plainTextRoundTrip()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.replaceWithText("first {\\b line}\nsécond");
    box.selectAll();
    box.setSelectionBold(true);
    const QString path = dir.filePath("out.txt");
    QVERIFY(box.saveFile(path, DocumentKind::PlainText).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first {\\b line}\ns\xC3\xA9" "cond"));

    RichTextBox other;
    QVERIFY(other.loadFile(path, DocumentKind::PlainText).ok());
    QCOMPARE(other.toPlainText(), box.toPlainText());
    QVERIFY(formatAt(other, 1).fontWeight() != QFont::Bold);
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
