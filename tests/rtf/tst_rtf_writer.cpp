#include "documentdump.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextTable>
#include <QTextCursor>

namespace {

QString roundTrip(const QTextDocument &document)
{
    QTextDocument again;
    if (const auto error = rtf::read(rtf::write(document), again))
        return "ERROR: " + error->description;
    return rtftest::dump(again, true);
}

QTextCharFormat family(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies({name});
    return f;
}

// A document with one paragraph of each kind that the editor's own commands produce.
void buildEditorDocument(QTextDocument &document)
{
    QTextCursor c(&document);
    QTextCharFormat f;
    c.insertText(QStringLiteral("plain "));
    f.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("bold "), f);
    f = {};
    f.setFontItalic(true);
    c.insertText(QStringLiteral("italic "), f);
    f = {};
    f.setFontUnderline(true);
    c.insertText(QStringLiteral("underline "), f);
    f = {};
    f.setFontStrikeOut(true);
    c.insertText(QStringLiteral("strike "), f);
    f = {};
    f.setForeground(QColor(12, 34, 56));
    c.insertText(QStringLiteral("colour "), f);
    f.setForeground(QColor(Qt::red));
    c.insertText(QStringLiteral("red "), f);
    c.insertText(QStringLiteral("arial black "), family(QStringLiteral("arial black")));
    c.insertText(QStringLiteral("gothic "), family(QStringLiteral("Century Gothic")));
    c.insertText(QStringLiteral("small "), family(QStringLiteral("Small Fonts")));
    for (int size : {8, 11, 72}) {
        f = {};
        f.setFontPointSize(size);
        c.insertText(QString::number(size) + ' ', f);
    }
    f = family(QStringLiteral("Century Gothic"));
    f.setFontPointSize(14);
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setFontUnderline(true);
    f.setFontStrikeOut(true);
    f.setForeground(QColor(0, 128, 0));
    f.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral("everything"), f);
    f = {};
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral("sup"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("sub"), f);

    for (Qt::Alignment alignment : {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify, Qt::AlignLeft}) {
        QTextBlockFormat b;
        b.setAlignment(alignment);
        c.insertBlock(b, {});
        c.insertText(QStringLiteral("aligned"));
    }
    QTextBlockFormat spaced;
    spaced.setLeftMargin(40);
    spaced.setRightMargin(20);
    spaced.setTextIndent(-10);
    spaced.setTopMargin(6);
    spaced.setBottomMargin(12);
    c.insertBlock(spaced, {});
    c.insertText(QStringLiteral("indented and spaced"));

    c.insertBlock(QTextBlockFormat(), {});
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    QTextList *list = c.createList(bullets);
    c.insertText(QStringLiteral("first bullet"));
    c.insertBlock();
    c.insertText(QStringLiteral("second bullet"));
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred);
    c.insertText(QStringLiteral("centred bullet"));
    list->add(c.block());
    c.insertBlock(QTextBlockFormat(), {});
    c.insertText(QStringLiteral("after the list"));

    c.insertBlock(QTextBlockFormat(), {});
    c.insertText(QStringLiteral("tab\there, line\u2028break, {braces} and \\ backslash; nbsp\u00A0."));
    c.insertBlock(QTextBlockFormat(), {});
    c.insertText(QStringLiteral("café € 日本語 Привет 😀 \U0001F600 香"));
    c.insertBlock(QTextBlockFormat(), {});
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void editorFormatsSurvive();
    void familyKeptExactly_data();
    void familyKeptExactly();
    void emptyDocument();
    void header();
    void fontTableAsTheFileHadIt();
    void fieldEndsBeforeItsParagraph();
    void escapesAndUnicode();
    void tablesHoldOnlyWhatIsUsed();
    void bulletsReadEitherWay();
    void numberedLists();
    void nestedTableSharesItsCell();
    void mergedCellsReadBack();
    void mergedCellsStartingWithAListItem();
    void longLinksSurvive();
};

void TestRtfWriter::editorFormatsSurvive()
{
    QTextDocument document;
    buildEditorDocument(document);
    const QString before = rtftest::dump(document, true);
    QCOMPARE(roundTrip(document), before);
}

void TestRtfWriter::familyKeptExactly_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"arial black", "Century Gothic", "Small Fonts", "Times New Roman", "MS Sans Serif",
                             "Font;With;Semicolons", "Font {Braces} \\ back", "Шрифт", "ＭＳ 明朝"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

void TestRtfWriter::familyKeptExactly()
{
    QFETCH(QString, name);
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("text"), family(name));
    QTextDocument again;
    QVERIFY(!rtf::read(rtf::write(document), again));
    QCOMPARE(again.begin().begin().fragment().charFormat().fontFamilies().toStringList(), QStringList{name});
}

void TestRtfWriter::emptyDocument()
{
    QTextDocument document;
    QTextDocument again;
    QVERIFY(!rtf::read(rtf::write(document), again));
    QCOMPARE(again.blockCount(), 1);
    QVERIFY(again.isEmpty());
}

void TestRtfWriter::header()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("x"));
    QVERIFY(rtf::write(document).startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
}

// A file without \\deff leaves text that names no font in the reader's default font, and a
// table of bare entries (TextEdit's) takes no braced entry, which readers misread after them.
void TestRtfWriter::fontTableAsTheFileHadIt()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\f0 named} unnamed\\par"
                       "\\pard{\\*\\pn\\pnlvlblt\\pnf0}\\ls1 bullet\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(!saved.contains("\\deff"));
    QVERIFY(saved.contains("{\\f0 named} unnamed"));
    QVERIFY(saved.contains("{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\ftech\\fcharset2 Symbol;}"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
}

// Readers end a field's shown text at a paragraph end in its result, and take the text before
// the field along: a field the next paragraph does not go on in is closed before the \\par.
void TestRtfWriter::fieldEndsBeforeItsParagraph()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par next\\par}", document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("{\\fldrslt 1}}\\par"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
}

void TestRtfWriter::escapesAndUnicode()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("{a}\\b\tc\u2028d é€😀香"));
    const QByteArray rtf = rtf::write(document);
    for (char c : rtf)
        QVERIFY2(uchar(c) < 0x80, "the writer puts everything beyond ASCII in \\u");
    for (const char *expected : {"\\{a\\}\\\\b\\tab c\\line d", "\\u233?", "\\u8364?", "\\u-10179?\\u-8704?", "\\u-26215?"})
        QVERIFY2(rtf.contains(expected), expected);
    QCOMPARE(rtftest::readText(rtf), document.toRawText().replace(QChar::ParagraphSeparator, u'\n'));
}

void TestRtfWriter::tablesHoldOnlyWhatIsUsed()
{
    QTextDocument document;
    QTextCursor c(&document);
    QTextCharFormat f = family(QStringLiteral("Century Gothic"));
    f.setForeground(QColor(1, 2, 3));
    c.insertText(QStringLiteral("one"), f);
    c.insertText(QStringLiteral("two"), f);
    const QByteArray rtf = rtf::write(document);
    QCOMPARE(rtf.count("Century Gothic;"), 1);
    QCOMPARE(rtf.count("\\red"), 1);
    QVERIFY(rtf.contains("{\\colortbl;\\red1\\green2\\blue3;}"));
    QVERIFY(!rtf.contains("listtable"));
}

void TestRtfWriter::bulletsReadEitherWay()
{
    QTextDocument document;
    QTextCursor c(&document);
    c.insertText(QStringLiteral("before"));
    c.insertBlock();
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.createList(bullets);
    c.insertText(QStringLiteral("one"));
    c.insertBlock();
    c.insertText(QStringLiteral("two"));
    const QString expected = rtftest::dump(document, true);

    const QString rtf = QString::fromLatin1(rtf::write(document));
    QVERIFY(rtf.contains(QLatin1String("{\\pntext\\'95\\tab}")));
    QVERIFY(rtf.contains(QLatin1String("\\pnlvlblt")));
    QVERIFY(rtf.contains(QLatin1String("{\\pntxtb\\'B7}")));
    QVERIFY(rtf.contains(QLatin1String("\\listtable")));

    // A reader that knows only the old words, and one that knows only the list table.
    QString oldWay = rtf;
    oldWay.remove(QRegularExpression(QStringLiteral("\\\\ls\\d+|\\\\ilvl\\d+")));
    QString wordWay = rtf;
    wordWay.remove(QRegularExpression(QStringLiteral("\\{\\\\\\*\\\\pn\\\\[^{}]*\\{[^{}]*\\}\\}")));
    QVERIFY(!wordWay.contains(QLatin1String("\\pnlvlblt")));
    for (const QString &variant : {oldWay, wordWay}) {
        QTextDocument again;
        QVERIFY(!rtf::read(variant.toLatin1(), again));
        // Indented by \\pn words alone, the items keep \\ri to stay so in LibreOffice.
        for (QTextBlock block = again.begin(); block.isValid() && variant == oldWay; block = block.next()) {
            QTextBlockFormat format = block.blockFormat();
            QCOMPARE(format.hasProperty(rtf::RightIndentWord), bool(block.textList()));
            format.clearProperty(rtf::RightIndentWord);
            QTextCursor(block).setBlockFormat(format);
        }
        QCOMPARE(rtftest::dump(again, true), expected);
    }
}

void TestRtfWriter::numberedLists()
{
    QTextDocument document;
    QTextCursor c(&document);
    const QTextListFormat::Style styles[] = {QTextListFormat::ListDecimal, QTextListFormat::ListLowerAlpha,
                                             QTextListFormat::ListUpperAlpha, QTextListFormat::ListLowerRoman,
                                             QTextListFormat::ListUpperRoman, QTextListFormat::ListDisc};
    bool first = true;
    for (auto style : styles) {
        for (int indent = 1; indent <= 2; ++indent) {
            if (!first)
                c.insertBlock(QTextBlockFormat(), {});
            first = false;
            QTextListFormat f;
            f.setStyle(style);
            f.setIndent(indent);
            c.createList(f);
            c.insertText(QStringLiteral("item"));
        }
    }
    QCOMPARE(roundTrip(document), rtftest::dump(document, true));
}

void TestRtfWriter::nestedTableSharesItsCell()
{
    // Tables made in the editor have no widths: the outer one shares the page, a nested one
    // its cell. Sized to the page, a nested table makes Word and LibreOffice widen the cell.
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextTable *outer = cursor.insertTable(1, 2);
    cursor = outer->cellAt(0, 1).firstCursorPosition();
    cursor.insertTable(1, 2);
    const QByteArray rtf = rtf::write(document);
    const qsizetype nested = rtf.indexOf("\\nesttableprops");
    QVERIFY(nested > 0);
    const QByteArray outerRow = rtf.left(nested), nestedRow = rtf.mid(nested);
    QVERIFY2(outerRow.contains("\\cellx4680") && outerRow.contains("\\cellx9360"), rtf.constData());
    QVERIFY2(nestedRow.contains("\\cellx2232") && nestedRow.contains("\\cellx4464"), rtf.constData());
}

void TestRtfWriter::mergedCellsReadBack()
{
    // Cells merged down, across, and both ways at once, in the outer table and in a
    // nested one; every row still has a cell for every column.
    QTextDocument document;
    QTextCursor cursor(&document);
    // Widths of their own, so that the document reads back as it is.
    QTextTableFormat format;
    format.setColumnWidthConstraints(QList<QTextLength>(4, QTextLength(QTextLength::FixedLength, 100)));
    QTextTable *table = cursor.insertTable(4, 4, format);
    table->mergeCells(0, 0, 3, 1);
    table->mergeCells(0, 1, 1, 3);
    table->mergeCells(1, 2, 2, 2);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r && cell.column() == c)
                cell.firstCursorPosition().insertText(QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
    cursor = table->cellAt(3, 3).lastCursorPosition();
    format.setColumnWidthConstraints(QList<QTextLength>(2, QTextLength(QTextLength::FixedLength, 40)));
    QTextTable *nested = cursor.insertTable(2, 2, format);
    nested->mergeCells(0, 1, 2, 1);
    nested->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("tall"));
    QCOMPARE(roundTrip(document), rtftest::dump(document, true));

    const QByteArray rtf = rtf::write(document);
    const QStringList rows = QString::fromLatin1(rtf).split('\n').filter(QStringLiteral("\\trowd"));
    // Each cell's merge mark, "-" for none: "vmgf mgf mrg mrg".
    auto marks = [](const QString &row) {
        static const QRegularExpression mark(QStringLiteral("\\\\cl(v?m(?:gf|rg))"));
        QStringList cells = row.split(QStringLiteral("\\cellx"));
        cells.removeLast(); // what follows the last \cellx
        QStringList found;
        for (const QString &cell : cells) {
            const auto match = mark.match(cell);
            found << (match.hasMatch() ? match.captured(1) : QStringLiteral("-"));
        }
        return found.join(' ');
    };
    QCOMPARE(rows.size(), 6);
    QCOMPARE(marks(rows[0]), QStringLiteral("vmgf mgf mrg mrg"));
    QCOMPARE(marks(rows[1]), QStringLiteral("vmrg - mgf mrg"));
    QCOMPARE(marks(rows[2]), QStringLiteral("vmrg - mgf mrg"));
    QCOMPARE(marks(rows[3]), QStringLiteral("- - - -"));
    QVERIFY2(rows[4].contains("\\itap2"), qPrintable(rows[4]));
    QCOMPARE(marks(rows[4]), QStringLiteral("- vmgf"));
    QCOMPARE(marks(rows[5]), QStringLiteral("- vmrg"));
    // A cell merged both ways is marked both ways in each of its rows.
    QVERIFY2(rows[1].contains("\\clmgf\\clvmgf") && rows[2].contains("\\clmgf\\clvmrg"), rtf.constData());
}

void TestRtfWriter::mergedCellsStartingWithAListItem()
{
    // Qt keeps a cell's spans in the format of its first paragraph, the one a list item's
    // marker takes its type from: merged cells that start with a list item, down, across
    // and both, at the top and nested, must stay merged on reading and on saving.
    const QByteArray bullet = "{\\*\\pn\\pnlvlblt}";
    const QByteArray rtf = "{\\rtf1\\ansi "
        "\\trowd\\clvmgf\\cellx1500\\clmgf\\cellx3000\\clmrg\\cellx4500 "
        "\\pard\\intbl" + bullet + "tall\\cell\\pard\\intbl" + bullet + "wide\\cell\\cell\\row"
        "\\trowd\\clvmrg\\cellx1500\\clvmgf\\clmgf\\cellx3000\\clvmgf\\clmrg\\cellx4500 "
        "\\pard\\intbl\\cell\\pard\\intbl" + bullet + "both\\cell\\cell\\row"
        "\\trowd\\cellx1500\\clvmrg\\clmgf\\cellx3000\\clvmrg\\clmrg\\cellx4500 "
        "\\pard\\intbl\\itap2" + bullet + "inner\\nestcell\\pard\\intbl\\itap2 x\\nestcell"
        "{\\*\\nesttableprops\\trowd\\clvmgf\\cellx700\\cellx1300\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap2\\nestcell\\pard\\intbl\\itap2 y\\nestcell"
        "{\\*\\nesttableprops\\trowd\\clvmrg\\cellx700\\cellx1300\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1\\cell\\pard\\intbl\\cell\\cell\\row\\pard after}";
    QTextDocument document;
    QVERIFY(!rtf::read(rtf, document));
    const QString read = rtftest::dump(document);
    for (const char *span : {"<cell 0,0 rowspan=2>", "<cell 0,1 colspan=2>", "<cell 1,1 rowspan=2 colspan=2>",
                             "  <cell 0,0 rowspan=2>"})
        QVERIFY2(read.contains(QLatin1String(span)), qPrintable(span + ("\n" + read)));
    QCOMPARE(roundTrip(document), rtftest::dump(document, true));
}

void TestRtfWriter::longLinksSurvive()
{
    // A data: URL carries a whole file in the link: one of megabytes, with a quote and a
    // backslash the writer escapes and a control character text never holds, must come
    // back whole from every save, among runs of other formats that each carry the link.
    QString target = QStringLiteral("data:text/plain;base64,");
    while (target.size() < 3'000'000)
        target += QStringLiteral("QUJD+/9=\\\"x") + QChar(0x08);
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(target);
    for (int run = 0; run < 20; ++run) {
        link.setFontWeight(run % 2 ? QFont::Bold : QFont::Normal);
        cursor.insertText(QStringLiteral("run "), link);
    }
    cursor.insertText(QStringLiteral(" after"), QTextCharFormat());

    QByteArray rtf = rtf::write(document);
    for (int save = 0; save < 2; ++save) {
        QTextDocument again;
        QVERIFY(!rtf::read(rtf, again));
        QTextCursor at(&again);
        at.setPosition(2);
        QCOMPARE(at.charFormat().anchorHref().size(), target.size());
        QVERIFY(at.charFormat().anchorHref() == target);
        at.setPosition(again.characterCount() - 2);
        QVERIFY(!at.charFormat().isAnchor());
        rtf = rtf::write(again);
    }
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtf_writer.moc"
