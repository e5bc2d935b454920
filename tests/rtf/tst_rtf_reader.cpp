#include "documentdump.h"

#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>

#include <cstring>

using rtftest::readText;

namespace {

QByteArray withHeader(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset204 Cyr;}"
           "{\\f2\\fnil\\fcharset128 MS Mincho;}{\\f3\\fnil\\cpg1253 GreekByCpg;}{\\f4\\fnil\\fcharset2 Symbol;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
        + body + "}";
}

// The format of the character before `position`.
QTextCharFormat charFormatAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position);
    return cursor.charFormat();
}

// The format in effect at the first "x" of the document.
QString formatAtX(const QTextDocument &document)
{
    const QTextCursor found = document.find(QStringLiteral("x"));
    if (found.isNull())
        return QStringLiteral("(no x)");
    return rtftest::charFormatDump(charFormatAt(document, found.selectionEnd()));
}

QList<QTextBlock> blocks(const QTextDocument &document)
{
    QList<QTextBlock> result;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        result << b;
    return result;
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void rejectsWhatIsNotRtf_data();
    void rejectsWhatIsNotRtf();
    void acceptsRtfWithLeadingNoise();
    void text_data();
    void text();
    void characterFormats_data();
    void characterFormats();
    void fontTable();
    void paragraphFormats();
    void bulletsTheOldWay();
    void bulletsTheWordWay();
    void numberedAndNestedLists();
    void longListsStayBulleted();
    void listMarkerInTheItemsType();
    void tablesPicturesAndLinks_data();
    void tablesPicturesAndLinks();
    void pngShownAtItsGoalSize();
    void pathological_data();
    void pathological();
    void deepNestingKeepsText();
    void hundredMegabyteParagraph();
    void randomTokenSoup();
    void regressionInputs_data();
    void regressionInputs();
};

void TestRtfReader::rejectsWhatIsNotRtf_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("hello world");
    QTest::newRow("no brace") << QByteArray("\\rtf1 {hello}");
    QTest::newRow("wrong word") << QByteArray("{\\rtb1 hello}");
    QTest::newRow("empty group") << QByteArray("{}");
    QTest::newRow("html") << QByteArray("<html>{\\rtf1}</html>");
}

void TestRtfReader::rejectsWhatIsNotRtf()
{
    QFETCH(QByteArray, input);
    QTextDocument document;
    document.setPlainText(QStringLiteral("untouched"));
    const auto error = rtf::read(input, document);
    QVERIFY(error.has_value());
    QVERIFY2(error->description.contains(QLatin1String("invalid file format")), qPrintable(error->description));
    QCOMPARE(document.toPlainText(), QStringLiteral("untouched"));
}

void TestRtfReader::acceptsRtfWithLeadingNoise()
{
    QCOMPARE(readText("\xEF\xBB\xBF{\\rtf1 bom}"), QStringLiteral("bom"));
    QCOMPARE(readText("\r\n  {\\rtf1 blank lines}"), QStringLiteral("blank lines"));
    QCOMPARE(readText("{\n\\rtf1 split}"), QStringLiteral("split"));
    QCOMPARE(readText("{\\rtf a}trailing garbage\0\0"), QStringLiteral("a"));
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("escaped braces and backslash") << QByteArray("a\\\\b\\{c\\}d") << QStringLiteral("a\\b{c}d");
    QTest::newRow("named characters")
        << QByteArray("\\tab x\\line y\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote")
        << QStringLiteral("\tx\u2028y\u2014\u2013\u2022\u2018\u2019\u201C\u201D");
    QTest::newRow("control symbols") << QByteArray("a\\~b\\-c\\_d") << QStringLiteral("a\u00A0b\u00ADc\u2011d");
    QTest::newRow("delimiter space is eaten once") << QByteArray("\\b bold\\b0  two") << QStringLiteral("bold two");
    QTest::newRow("line breaks in the file are not text") << QByteArray("a\r\nb\nc") << QStringLiteral("abc");
    QTest::newRow("backslash before a line break is a paragraph") << QByteArray("a\\\nb") << QStringLiteral("a\nb");
    QTest::newRow("NUL and other controls dropped") << QByteArray("a\0b\x01" "c\td", 8) << QStringLiteral("abc\td");

    QTest::newRow("hex in 1252") << QByteArray("caf\\'e9 \\'80 \\'93q\\'94") << QStringLiteral("café € “q”");
    QTest::newRow("raw 8-bit in 1252") << QByteArray("caf\xe9") << QStringLiteral("café");
    QTest::newRow("font charset 204") << QByteArray("{\\f1 \\'cf\\'f0\\'e8 \xe2}") << QStringLiteral("При в");
    QTest::newRow("font cpg 1253") << QByteArray("{\\f3 \\'e1\\'e2}") << QStringLiteral("αβ");
    QTest::newRow("charset ends with the group") << QByteArray("{\\f1 \\'cf}\\'cf") << QStringLiteral("ПÏ");
    QTest::newRow("double-byte from hex pairs") << QByteArray("{\\f2 \\'82\\'a0\\'93\\'fa}") << QStringLiteral("あ日");
    QTest::newRow("double-byte lead hex, trail raw") << QByteArray("{\\f2 \\'83e\\'83L}") << QStringLiteral("テキ");
    QTest::newRow("double-byte raw with brace trail") << QByteArray("{\\f2 \x93\xfa\x96{\x8c\xea}") << QStringLiteral("日本語");
    QTest::newRow("double-byte raw with backslash trail") << QByteArray("{\\f2 \x83\\}") << QStringLiteral("ソ");
    QTest::newRow("half-width katakana are single bytes") << QByteArray("{\\f2 \\'b6\\'c0}") << QStringLiteral("ｶﾀ");
    QTest::newRow("Shift_JIS control bytes as Windows reads them, bytes it cannot read dropped")
        << QByteArray("{\\f2 a\x7f" "b\\'7f\x1c\x1a" "c\\'ff\x80" "d}") << QStringLiteral("a\u007Fb\u007Fcd");

    QTest::newRow("\\u with fallback") << QByteArray("\\u233?x") << QStringLiteral("éx");
    QTest::newRow("\\u negative is 16-bit") << QByteArray("\\u-3913?\\u-30050?") << QStringLiteral("\uF0B7\u8A9E");
    QTest::newRow("\\uc2 with hex fallback") << QByteArray("{\\uc2\\u8364\\'80\\'80x}") << QStringLiteral("€x");
    QTest::newRow("\\uc2 fallback of a DBCS pair") << QByteArray("{\\f2\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b}") << QStringLiteral("日本");
    QTest::newRow("\\uc0 has no fallback") << QByteArray("{\\uc0\\u8364 x}") << QStringLiteral("€x");
    QTest::newRow("\\uc is restored by the group end") << QByteArray("{\\uc2{\\uc1\\u8364?}\\u8364??x}") << QStringLiteral("€€x");
    QTest::newRow("fallback never passes the group end") << QByteArray("{\\uc5\\u8364 a}bc") << QStringLiteral("€bc");
    QTest::newRow("fallback counts a named character as one") << QByteArray("\\u8212\\emdash x") << QStringLiteral("—x");
    QTest::newRow("surrogate pair") << QByteArray("I\\u-10179?\\u-8704?J") << QStringLiteral("I😀J");
    QTest::newRow("lone surrogates dropped") << QByteArray("a\\u-10179?b\\u-8704?c") << QStringLiteral("abc");
    QTest::newRow("code point beyond 16 bits") << QByteArray("\\u128512?") << QStringLiteral("😀");
    QTest::newRow("\\u of a control character dropped") << QByteArray("a\\u10?\\u13?\\u8233?b") << QStringLiteral("ab");

    QTest::newRow("unknown starred destination")
        << QByteArray("{\\*\\unknowndest hidden {nested}}shown") << QStringLiteral("shown");
    QTest::newRow("destinations without body text")
        << QByteArray("{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\header H}{\\footerl F}"
                      "{\\footnote N}{\\annotation C}{\\*\\generator G;}{\\*\\themedata 0102}{\\*\\datastore 0102}"
                      "{\\*\\xmlnstbl{\\xmlns1 x}}shown")
        << QStringLiteral("shown");
    QTest::newRow("picture with \\bin holding braces") << QByteArray("a{\\pict\\bin4 }}{\\}b")
                                                       << QStringLiteral("a\uFFFCb");
    QTest::newRow("one of \\shppict and \\nonshppict")
        << QByteArray("a{\\*\\shppict{\\pict\\emfblip 01}}{\\nonshppict{\\pict\\wmetafile8 02}}b") << QStringLiteral("a\uFFFCb");
    QTest::newRow("unknown control words ignored") << QByteArray("a\\foo\\bar12 b\\baz-3 c") << QStringLiteral("abc");
    QTest::newRow("field shows its result")
        << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} and "
                      "{\\field{\\fldinst PAGE}{\\fldrslt {3}}}")
        << QStringLiteral("link and 3");
    QTest::newRow("list markers not doubled") << QByteArray("{\\pntext \\'95\\tab}{\\listtext 1.\\tab}item") << QStringLiteral("item");
    QTest::newRow("hidden text") << QByteArray("a{\\v secret}b\\v c\\v0 d") << QStringLiteral("abd");
    QTest::newRow("Unicode alternative of \\upr") << QByteArray("{\\upr{ansi}{\\*\\ud{uni}}}") << QStringLiteral("uni");
    QTest::newRow("neither text box nor shape properties in the body")
        << QByteArray("a{\\shp{\\*\\shpinst{\\sp{\\sn a}{\\sv b}}{\\shptxt box}}{\\shprslt old}}b") << QStringLiteral("ab");
    QTest::newRow("footnote references numbered, notes themselves left out")
        << QByteArray("a{\\super\\chftn}{\\footnote{\\super\\chftn} note} b{\\super\\chftn}{\\footnote\\pard{\\chftn} n}.")
        << QStringLiteral("a1 b2.");
    QTest::newRow("endnotes numbered on their own")
        << QByteArray("a\\chftn{\\footnote\\ftnalt\\pard\\chftn e}b\\chftn{\\footnote f}c\\chftn{\\footnote\\ftnalt e}")
        << QStringLiteral("aib1cii");
    QTest::newRow("note numbering the document asks for")
        << QByteArray("\\ftnnauc\\aftnnar a\\chftn{\\footnote\\ftnalt e}b\\chftn{\\footnote f}c\\chftn{\\footnote f}")
        << QStringLiteral("a1bAcB");
    QTest::newRow("symbol field with an empty result")
        << QByteArray("{\\field{\\*\\fldinst SYMBOL 174 \\\\f \"Arial\" \\\\s 10}{\\fldrslt }}"
                      "{\\field{\\*\\fldinst SYMBOL 0x263A \\\\u}{\\fldrslt \\u9786?}}")
        << QStringLiteral("\u00AE\u263A");
    QTest::newRow("section and page breaks") << QByteArray("a\\sect b\\page c") << QStringLiteral("a\nb\nc");
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(readText(withHeader(body)), expected);
}

void TestRtfReader::characterFormats_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << QByteArray("x") << QString();
    QTest::newRow("bold") << QByteArray("\\b x") << QStringLiteral("b");
    QTest::newRow("bold off") << QByteArray("\\b\\b0 x") << QString();
    QTest::newRow("italic") << QByteArray("\\i x") << QStringLiteral("i");
    QTest::newRow("underline") << QByteArray("\\ul x") << QStringLiteral("ul");
    QTest::newRow("double underline") << QByteArray("\\uldb x") << QStringLiteral("ul=uldb");
    QTest::newRow("wave underline") << QByteArray("\\ulwave x") << QStringLiteral("ul=ulwave");
    QTest::newRow("word underline") << QByteArray("\\ulw x") << QStringLiteral("ul=ulw");
    QTest::newRow("\\ulnone") << QByteArray("\\uldb\\ulnone x") << QString();
    QTest::newRow("\\ul0") << QByteArray("\\ul\\ul0 x") << QString();
    QTest::newRow("strike") << QByteArray("\\strike x") << QStringLiteral("strike");
    QTest::newRow("double strike") << QByteArray("\\striked1 x") << QStringLiteral("strike");
    QTest::newRow("double strike off") << QByteArray("\\striked1\\striked0 x") << QString();
    QTest::newRow("half points") << QByteArray("\\fs21 x") << QStringLiteral("pt=10.5");
    QTest::newRow("colour") << QByteArray("\\cf1 x") << QStringLiteral("fg=#ff0000");
    QTest::newRow("automatic colour") << QByteArray("\\cf1\\cf0 x") << QString();
    QTest::newRow("colour past the table") << QByteArray("\\cf99 x") << QString();
    QTest::newRow("highlight") << QByteArray("\\highlight2 x") << QStringLiteral("bg=#0000ff");
    QTest::newRow("background") << QByteArray("\\cb1 x") << QStringLiteral("bg=#ff0000");
    QTest::newRow("superscript") << QByteArray("\\super x") << QStringLiteral("super");
    QTest::newRow("subscript") << QByteArray("\\sub x") << QStringLiteral("sub");
    QTest::newRow("\\nosupersub") << QByteArray("\\super\\nosupersub x") << QString();
    QTest::newRow("\\plain resets") << QByteArray("\\b\\i\\ul\\strike\\fs30\\cf1\\highlight2\\super\\plain x") << QString();
    QTest::newRow("group end restores") << QByteArray("{\\b\\i\\fs30 y}x") << QString();
    QTest::newRow("group inherits") << QByteArray("\\b{\\i{x}}") << QStringLiteral("b,i");
    QTest::newRow("all at once") << QByteArray("\\b\\i\\ul\\strike\\fs48\\cf2\\cb1\\sub x")
                                 << QStringLiteral("pt=24,b,i,ul,strike,fg=#0000ff,bg=#ff0000,sub");
}

void TestRtfReader::characterFormats()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    // No font table: the runs carry no family, which keeps the expectations short.
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" + body + "}", document));
    QCOMPARE(formatAtX(document), expected);
}

void TestRtfReader::fontTable()
{
    QTextDocument document;
    QVERIFY(!rtf::read(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}"
        "Times New Roman{\\*\\falt Times};}{\\f1\\fswiss Century Gothic;}"
        "{\\f2\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}\\f3\\fnil Small Fonts;\\f4 Odd\\'3bName;"
        "{\\f5 arial black;}}\n"
        "a{\\f1 b}{\\f2 c}{\\f3 d}{\\f4 e}{\\f5 f}{\\f99 g}{\\f1\\plain h}}",
        document));
    QStringList families;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        const QStringList f = it.fragment().charFormat().fontFamilies().toStringList();
        families << it.fragment().text() + '=' + f.value(0);
    }
    QCOMPARE(families, QStringList({"a=Times New Roman", "b=Century Gothic", "c=ＭＳ 明朝", "d=Small Fonts",
                                    "e=Odd;Name", "f=arial black", "g=", "h=Times New Roman"}));
}

void TestRtfReader::paragraphFormats()
{
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader("\\pard\\qc a\\par\\pard\\qr b\\par\\pard\\qj c\\par\\qc\\pard\\ql d\\par"
                                  "\\pard\\li720\\ri360\\fi-180\\sb120\\sa240 e\\par f\\par\\pard g"),
                       document));
    QStringList formats;
    for (const QTextBlock &b : blocks(document)) {
        QStringList shown = rtftest::blockFormatDump(b).split(u',');
        shown.removeIf([](const QString &p) { return p.startsWith(u'k'); }); // what is kept for saving
        formats << b.text() + ':' + shown.join(u',');
    }
    QCOMPARE(formats, QStringList({"a:center", "b:right", "c:justify", "d:",
                                   "e:left=48,right=24,first=-12,before=8,after=16",
                                   "f:left=48,right=24,first=-12,before=8,after=16", "g:"}));
}

void TestRtfReader::bulletsTheOldWay()
{
    // As WordPad writes them.
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader("\\pard{\\pntext\\f4\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf4\\pnindent0{\\pntxtb\\'B7}}"
                                  "\\fi-720\\li720 one\\par{\\pntext\\f4\\'B7\\tab}two\\par\\pard three\\par"),
                       document));
    const auto b = blocks(document);
    QCOMPARE(rtftest::text(document), QStringLiteral("one\ntwo\nthree\n"));
    QVERIFY(b[0].textList());
    QCOMPARE(b[0].textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(b[1].textList(), b[0].textList());
    QVERIFY(!b[2].textList());
    QVERIFY(!b[3].textList());
}

void TestRtfReader::bulletsTheWordWay()
{
    const QByteArray listTables =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelnfcn23{\\leveltext\\'01\\u-3913 ?;}"
        "{\\levelnumbers;}\\f4\\fi-360\\li720}\\listid77{\\listname ;}}}"
        "{\\*\\listoverridetable{\\listoverride\\listid77\\listoverridecount0\\ls1}}\n";
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader(listTables + "\\pard{\\listtext\\pard\\plain\\f4 \\'b7\\tab}\\ls1\\ilvl0\\fi-360\\li720 one\\par"
                                               "{\\listtext\\pard\\plain\\f4 \\'b7\\tab}two\\par"),
                       document));
    const auto b = blocks(document);
    QCOMPARE(rtftest::text(document), QStringLiteral("one\ntwo\n"));
    QVERIFY(b[0].textList());
    QCOMPARE(b[0].textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(b[1].textList(), b[0].textList());
    // What follows the last \par only inherits the list; it is not an item of its own.
    QVERIFY(!b[2].textList());
}

void TestRtfReader::numberedAndNestedLists()
{
    const QByteArray listTables =
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc23}{\\listlevel\\levelnfc4}\\listid5}}"
        "{\\*\\listoverridetable{\\listoverride\\listid5\\ls2}}\n";
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader(listTables + "\\pard\\ls2 one\\par\\pard\\ls2\\ilvl1 sub\\par\\pard\\ls2\\ilvl2 subsub\\par"
                                               "\\pard{\\*\\pn\\pnlvlbody\\pnucrm{\\pntxta .}}roman\\par"
                                               "\\pard\\ls9 unresolved\\par\\pard"),
                       document));
    QStringList formats;
    // What the paragraphs keep of the file's own list words is not what this is about.
    static const QRegularExpression kept(QStringLiteral(",?k[0-9a-f]+=[^,]*"));
    for (const QTextBlock &b : blocks(document))
        formats << b.text() + ':' + rtftest::blockFormatDump(b).remove(kept);
    QCOMPARE(formats, QStringList({QStringLiteral("one:list=%1/1").arg(int(QTextListFormat::ListDecimal)),
                                   QStringLiteral("sub:list=%1/2").arg(int(QTextListFormat::ListDisc)),
                                   QStringLiteral("subsub:list=%1/3").arg(int(QTextListFormat::ListLowerAlpha)),
                                   QStringLiteral("roman:list=%1/1").arg(int(QTextListFormat::ListUpperRoman)),
                                   QStringLiteral("unresolved:list=%1/1").arg(int(QTextListFormat::ListDisc)),
                                   QStringLiteral(":")}));
}

void TestRtfReader::listMarkerInTheItemsType()
{
    // Qt draws the number in the paragraph's character format: it must be the text's
    // typeface and size, not Qt's default, and not underlined with the first word.
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader("{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid5}}"
                                  "{\\*\\listoverridetable{\\listoverride\\listid5\\ls2}}\n"
                                  "\\pard\\ls2\\f0\\fs36\\cf1{\\ul one} two\\par"),
                       document));
    const QTextCharFormat marker = document.begin().charFormat();
    QCOMPARE(marker.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QCOMPARE(marker.fontPointSize(), 18.0);
    QCOMPARE(marker.foreground().color(), QColor(Qt::red));
    QVERIFY(!marker.fontUnderline());
}

void TestRtfReader::longListsStayBulleted()
{
    // Long lists are built in pieces; every paragraph must still be a bullet.
    QByteArray body = "\\pard{\\*\\pn\\pnlvlblt}";
    for (int i = 0; i < 1200; ++i)
        body += "item\\par ";
    QTextDocument document;
    QVERIFY(!rtf::read(withHeader(body + "\\pard"), document));
    const auto b = blocks(document);
    QCOMPARE(b.size(), 1201);
    for (int i = 0; i < 1200; ++i) {
        QVERIFY2(b[i].textList(), qPrintable(QString::number(i)));
        QCOMPARE(b[i].textList()->format().style(), QTextListFormat::ListDisc);
    }
    QVERIFY(!b.last().textList());
}

void TestRtfReader::tablesPicturesAndLinks_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    // Qt keeps a paragraph before every table; the writer writes it and the reader takes
    // it back, so it does not grow from one save to the next.
    QTest::newRow("row with widths")
        << QByteArray("\\trowd\\cellx1500\\cellx4500 \\intbl a\\cell b\\cell\\row\\pard after")
        << QStringLiteral("[]\n<table 1x2 widths=100,200 border=0>\n <cell 0,0>\n  []{}a\n <cell 0,1>\n  []{}b\n"
                          "</table>\n[]{}after\n");
    QTest::newRow("cells without widths share the page; empty cells stay")
        << QByteArray("\\intbl a\\cell\\cell c\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 1x3 widths=208,208,208 border=0>\n <cell 0,0>\n  []{}a\n <cell 0,1>\n  []\n"
                          " <cell 0,2>\n  []{}c\n</table>\n[]\n");
    // Without widths of its own a nested table shares its cell, less the cell's gaps.
    QTest::newRow("nested table inside a cell")
        << QByteArray("\\intbl a\\cell\\itap2 b\\nestcell c\\nestcell\\nestrow d\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 1x2 widths=312,312 border=0>\n <cell 0,0>\n  []{}a\n <cell 0,1>\n  []\n"
                          "  <table 1x2 widths=148.8,148.8 border=0>\n   <cell 0,0>\n    []{}b\n   <cell 0,1>\n    []{}c\n"
                          "  </table>\n  []{}d\n</table>\n[]\n");
    QTest::newRow("cell merged down over three rows; the empty cells under it add nothing")
        << QByteArray("\\trowd\\clvmgf\\cellx1500\\cellx3000 \\intbl top\\cell r0\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1500\\cellx3000 \\intbl \\cell r1\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1500\\cellx3000 \\intbl \\cell r2\\cell\\row\\pard after")
        << QStringLiteral("[]\n<table 3x2 widths=100,100 border=0>\n <cell 0,0 rowspan=3>\n  []{}top\n"
                          " <cell 0,1>\n  []{}r0\n <cell 1,0 in 0,0>\n <cell 1,1>\n  []{}r1\n"
                          " <cell 2,0 in 0,0>\n <cell 2,1>\n  []{}r2\n</table>\n[]{}after\n");
    // Word 97 gives the merged cell the whole width and the cell merged into it none;
    // the two share it rather than the second getting a default column.
    QTest::newRow("cells merged across, Word 97's way")
        << QByteArray("\\trowd\\clmgf\\cellx3000\\clmrg\\cellx3000\\cellx4500 \\intbl wide\\cell\\cell c\\cell\\row"
                      "\\trowd\\cellx1500\\cellx3000\\cellx4500 \\intbl a\\cell b\\cell c2\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x3 widths=100,100,100 border=0>\n <cell 0,0 colspan=2 edges=0|3000,3000>\n  []{}wide\n"
                          " <cell 0,1 in 0,0>\n <cell 0,2 edges=0|4500>\n  []{}c\n <cell 1,0 edges=0|1500>\n  []{}a\n"
                          " <cell 1,1 edges=0|3000>\n  []{}b\n <cell 1,2 edges=0|4500>\n  []{}c2\n</table>\n[]\n");
    QTest::newRow("text in cells merged away joins the merged cell")
        << QByteArray("\\trowd\\clvmgf\\cellx1500\\clmgf\\cellx3000\\clmrg\\cellx4500 \\intbl top\\cell left\\cell right\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1500\\cellx3000\\cellx4500 \\intbl below\\cell x\\cell y\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x3 widths=100,100,100 border=0>\n <cell 0,0 rowspan=2>\n  []{}top\n  []{}below\n"
                          " <cell 0,1 colspan=2>\n  []{}left\n  []{}right\n <cell 0,2 in 0,1>\n <cell 1,0 in 0,0>\n"
                          " <cell 1,1>\n  []{}x\n <cell 1,2>\n  []{}y\n</table>\n[]\n");
    QTest::newRow("a wider cell merges the columns of the row above, as Word writes it now")
        << QByteArray("\\trowd\\cellx1500\\cellx3000\\cellx4500 \\intbl a\\cell b\\cell c\\cell\\row"
                      "\\trowd\\cellx3000\\cellx4500 \\intbl wide\\cell d\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x3 widths=100,100,100 border=0>\n <cell 0,0 edges=0|1500>\n  []{}a\n"
                          " <cell 0,1 edges=0|3000>\n  []{}b\n <cell 0,2 edges=0|4500>\n  []{}c\n"
                          " <cell 1,0 colspan=2 edges=0|3000>\n  []{}wide\n <cell 1,1 in 1,0>\n <cell 1,2 edges=0|4500>\n  []{}d\n</table>\n[]\n");
    // The rows share neither cells nor edges, but the merge down holds them together: each
    // cell covers the columns between its edges, and past the end of its row a cell is empty.
    QTest::newRow("merged down across rows with other cells")
        << QByteArray("\\trowd\\clvmgf\\cellx1500\\cellx4500 \\intbl tall\\cell top\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1500\\cellx3000\\cellx6000 \\intbl \\cell p\\cell q\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x4 widths=100,100,100,100 border=0>\n <cell 0,0 rowspan=2 edges=0|1500>\n  []{}tall\n"
                          " <cell 0,1 colspan=2 edges=0|4500>\n  []{}top\n <cell 0,2 in 0,1>\n <cell 0,3 edges=0|>\n  []\n"
                          " <cell 1,0 in 0,0>\n <cell 1,1 edges=0|3000>\n  []{}p\n <cell 1,2 colspan=2 edges=0|6000>\n  []{}q\n <cell 1,3 in 1,2>\n</table>\n[]\n");
    QTest::newRow("edges a few twips apart are one column")
        << QByteArray("\\trowd\\clvmgf\\cellx1500\\cellx3000 \\intbl tall\\cell a\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1510\\cellx2250\\cellx3000 \\intbl \\cell b\\cell c\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x3 widths=100,50,50 border=0>\n <cell 0,0 rowspan=2 edges=0|1500>\n  []{}tall\n"
                          " <cell 0,1 colspan=2 edges=0|3000>\n  []{}a\n <cell 0,2 in 0,1>\n <cell 1,0 in 0,0>\n"
                          " <cell 1,1 edges=0|2250>\n  []{}b\n <cell 1,2 edges=0|3000>\n  []{}c\n</table>\n[]\n");
    QTest::newRow("rows of other edges are one table, with room after a short row")
        << QByteArray("\\trowd\\cellx1500\\cellx3000 \\intbl a\\cell b\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\cellx4000 \\intbl c\\cell d\\cell e\\cell\\row\\pard")
        << QStringLiteral("[]\n<table 2x5 widths=66.6667,33.3333,33.3333,66.6667,66.6667 border=0>\n"
                          " <cell 0,0 colspan=2 edges=0|1500>\n  []{}a\n <cell 0,1 in 0,0>\n"
                          " <cell 0,2 colspan=2 edges=0|3000>\n  []{}b\n <cell 0,3 in 0,2>\n <cell 0,4 edges=0|>\n  []\n"
                          " <cell 1,0 edges=0|1000>\n  []{}c\n <cell 1,1 colspan=2 edges=0|2000>\n  []{}d\n <cell 1,2 in 1,1>\n"
                          " <cell 1,3 colspan=2 edges=0|4000>\n  []{}e\n <cell 1,4 in 1,3>\n</table>\n[]\n");
    QTest::newRow("metafile kept as a box of its goal size")
        << QByteArray("a{\\pict\\wmetafile8\\picw2000\\pich1000\\picwgoal1500\\pichgoal750 0102ff}b")
        << QStringLiteral("[]{}a{img=100x50,kind=2,data=3:4f989b1ac8e4,"
                          "words=\\wmetafile8\\picw2000\\pich1000\\picwgoal1500\\pichgoal750}\uFFFC{}b\n");
    QTest::newRow("hyperlink with its result text")
        << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} after")
        << QStringLiteral("[]{href=http://x}link{} after\n");
}

// Each case also survives writing and reading back unchanged.
void TestRtfReader::tablesPicturesAndLinks()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi " + body + "}", document));
    QCOMPARE(rtftest::dump(document), expected);
    QTextDocument again;
    QVERIFY(!rtf::read(rtf::write(document), again));
    QCOMPARE(rtftest::dump(again), expected);
}

void TestRtfReader::pngShownAtItsGoalSize()
{
    const QByteArray png = rtftest::redPng();

    // 40×20 pixels asked to show at 1200×600 twips (80×40 px), then scaled to half.
    const QByteArray rtfText = "{\\rtf1\\ansi a{\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600"
                               "\\picscalex50\\picscaley50 " + png.toHex() + "}b}";
    QTextDocument document;
    QVERIFY(!rtf::read(rtfText, document));
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    const QTextImageFormat format = cursor.charFormat().toImageFormat();
    QVERIFY(format.isValid());
    QCOMPARE(format.width(), 40.0);
    QCOMPARE(format.height(), 20.0);
    QCOMPARE(format.property(rtf::PictureData).toByteArray(), png);
    // The bytes wait as they are; Qt decodes them when the picture is first drawn.
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    const QImage shown = QImage::fromData(resource.toByteArray());
    QCOMPARE(shown.size(), QSize(40, 20));

    QTextDocument again;
    QVERIFY(!rtf::read(rtf::write(document), again));
    QCOMPARE(rtftest::dump(again), rtftest::dump(document));
}

void TestRtfReader::pathological_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");

    const QByteArray million(1'000'000, '{');
    QTest::newRow("a million unclosed braces") << "{\\rtf1 a" + million << QStringLiteral("a");
    QTest::newRow("a million braces in a skipped group") << "{\\rtf1 a{\\*\\x" + million + "}b" << QStringLiteral("a");
    QTest::newRow("a million closing braces") << "{\\rtf1 a}" + QByteArray(1'000'000, '}') << QStringLiteral("a");
    QTest::newRow("\\bin past the end") << QByteArray("{\\rtf1 a{\\pict\\bin999999999 xyz") << QStringLiteral("a");
    QTest::newRow("\\bin of a 40-digit length") << QByteArray("{\\rtf1 a\\bin9999999999999999999999999999999999999999 xyz}") << QStringLiteral("a");
    QTest::newRow("negative \\bin") << QByteArray("{\\rtf1 a\\bin-5 bc}") << QStringLiteral("abc");
    QTest::newRow("numbers beyond 32 bits")
        << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999999? b\\uc99999999999 \\u8364 c"
                      "\\li-99999999999999\\f-99999999999 d\\'}")
        << QStringLiteral("a b€");
    QTest::newRow("\\uc skipping stops at the group end") << QByteArray("{\\rtf1{\\uc1000\\u8364}x}") << QStringLiteral("€x");
    QTest::newRow("unterminated groups") << QByteArray("{\\rtf1{\\b bold{\\i both") << QStringLiteral("boldboth");
    QTest::newRow("truncated in a control word") << QByteArray("{\\rtf1 a\\u12") << QStringLiteral("a");
    QTest::newRow("truncated after a backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("truncated in hex") << QByteArray("{\\rtf1 a\\'4") << QStringLiteral("a");
    QTest::newRow("truncated font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << QString();
    QTest::newRow("NUL bytes everywhere") << QByteArray("{\\rtf1\0 a\0\\b\0 b\0}\0\0", 16) << QStringLiteral(" a b");
    QTest::newRow("a long control word") << "{\\rtf1 \\" + QByteArray(100000, 'a') + "1 b}" << QStringLiteral("b");
    QTest::newRow("a huge digit run") << "{\\rtf1 \\fs" + QByteArray(100000, '9') + " b}" << QStringLiteral("b");
    QTest::newRow("table keywords at the document level") << QByteArray("{\\rtf1\\fonttbl\\colortbl\\pn\\listtable text}") << QStringLiteral("text");
    QTest::newRow("a star with nothing after it") << QByteArray("{\\rtf1 a{\\*}b{\\* c}d}") << QStringLiteral("ab cd");
    // Merge marks where nothing can be merged, and edges at the ends of the 32-bit range.
    QTest::newRow("merges with nothing before or above")
        << QByteArray("{\\rtf1\\trowd\\clvmrg\\clmrg\\cellx1000\\clmrg\\cellx500 \\intbl a\\cell b\\cell\\row}")
        << QStringLiteral("\na\nb\n");
    QTest::newRow("merges on edges at the limits")
        << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx-2147483648\\clmrg\\cellx2147483647\\trleft-2147483648 \\intbl a\\cell b\\cell c"
                      "\\cell\\row\\trowd\\clvmrg\\cellx2147483647 \\intbl d\\cell\\row}")
        << QStringLiteral("\na\nb\nc\n\nd\n");
}

void TestRtfReader::pathological()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    QCOMPARE(readText(input), expected);
}

void TestRtfReader::deepNestingKeepsText()
{
    // Past the depth limit groups share one state: text must survive and the formats
    // opened before the limit must still close.
    const int depth = 1'000'000;
    QByteArray input = "{\\rtf1 ";
    input += QByteArray(depth, '{');
    input += "\\b deep";
    input += QByteArray(depth, '}');
    input += " after}";
    QTextDocument document;
    QVERIFY(!rtf::read(input, document));
    QCOMPARE(rtftest::text(document), QStringLiteral("deep after"));
    QCOMPARE(rtftest::charFormatDump(charFormatAt(document, 2)), QStringLiteral("b"));
    QCOMPARE(rtftest::charFormatDump(charFormatAt(document, 6)), QString());
}

void TestRtfReader::hundredMegabyteParagraph()
{
    // One paragraph of 100 MB, with a change of format now and then: it must load whole,
    // as one paragraph, in memory and time proportional to its size.
    const QByteArray piece = QByteArray(1000, 'x') + "{\\b y}\\'e9 ";
    QByteArray input = "{\\rtf1\\ansi ";
    const qsizetype pieces = 100'000'000 / piece.size();
    input.reserve(pieces * piece.size() + 16);
    for (qsizetype i = 0; i < pieces; ++i)
        input += piece;
    input += "end}";
    QTextDocument document;
    QVERIFY(!rtf::read(input, document));
    input.clear();
    QCOMPARE(document.blockCount(), 1);
    QCOMPARE(document.characterCount(), int(pieces * 1003 + 3 + 1));
    QCOMPARE(rtftest::charFormatDump(charFormatAt(document, 1001)), QStringLiteral("b"));
    const QString text = document.toPlainText();
    QCOMPARE(text.right(7), QStringLiteral("xy\u00E9 end"));
}

void TestRtfReader::randomTokenSoup()
{
    // A cheap stand-in for the fuzzer that runs with every build: well-formed pieces in
    // hostile orders reach states that hand-written cases do not.
    static const char *const pieces[] = {
        "{", "}", "{", "}", "text ", "\\par ", "\\pard", "\\plain", "\\b", "\\i0", "\\f1", "\\f2", "\\fs7",
        "\\'82", "\\'a0", "\\'", "\\u-10179?", "\\u8364", "\\uc0", "\\uc3", "\\*", "\\fonttbl", "\\colortbl",
        "\\red9;", ";", "\\fcharset128 ", "\\cpg65001 ", "\\stylesheet", "\\pict", "\\bin3 ", "\\bin99999 ",
        "\\pn", "\\pnlvlblt", "\\pnlvlbody", "\\pntext", "\\listtable", "\\list", "\\listlevel", "\\levelnfc23",
        "\\listid1", "\\listoverridetable", "\\listoverride", "\\ls1", "\\ilvl99", "\\cell", "\\row", "\\intbl",
        "\\upr", "\\ud", "\\field", "\\fldinst", "\\fldrslt", "\\v", "\\cf3", "\\highlight1", "\\line", "\\tab",
        "\\\\", "\\{", "\\}", "\xff", "\x82", "\x00", "\\sect", "\\shp", "\\shptxt", "\\ansicpg932", "\\deff1",
    };
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QRandomGenerator random(seed);
        QByteArray input = "{\\rtf1";
        for (int i = 0; i < 20000; ++i) {
            const char *piece = pieces[random.bounded(int(std::size(pieces)))];
            input.append(piece, qsizetype(qMax<size_t>(1, strlen(piece))));
        }
        QTextDocument document;
        QVERIFY(!rtf::read(input, document));
        // Whatever was read must survive a round trip through the writer.
        const QString once = rtftest::dump(document);
        QTextDocument again;
        QVERIFY(!rtf::read(rtf::write(document), again));
        QCOMPARE(rtftest::dump(again), once);
    }
}

void TestRtfReader::regressionInputs_data()
{
    // Inputs the fuzzer found to crash, hang or not survive a round trip, one row each so
    // that a failure names its file.
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(BREVON_RTF_REGRESSIONS));
    const auto files = dir.entryInfoList(QDir::Files);
    // A wrong folder must not pass unnoticed.
    if (files.isEmpty())
        QTest::newRow("no inputs") << QString();
    for (const QFileInfo &info : files)
        QTest::newRow(qPrintable(info.fileName())) << info.filePath();
}

void TestRtfReader::regressionInputs()
{
    QFETCH(QString, path);
    QVERIFY2(!path.isEmpty(), "no regression inputs found");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument document;
    rtf::read(file.readAll(), document);
    const QByteArray written = rtf::write(document);
    QTextDocument again;
    QVERIFY(!rtf::read(written, again));
    QCOMPARE(rtftest::dump(again), rtftest::dump(document));
    QCOMPARE(rtf::write(again), written);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
