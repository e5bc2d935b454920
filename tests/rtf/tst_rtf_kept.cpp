// What a file holds beyond what the editing area shows must come back, in place, when it
// is saved, also after the user has typed in it.
#include "documentdump.h"

#include <QTest>
#include <QTextCursor>
#include <QTextTable>

namespace {

// A Word-like document: page setup, a header and footer, document info, a stylesheet,
// a bookmark, a footnote, hidden text, a comment mark, tab stops, line spacing, shading,
// a page break and a second section.
const QByteArray wordLike =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
    "{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}{\\f1\\fswiss Arial;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green200\\blue255;}"
    "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}"
    "{\\info{\\title A title}{\\author Someone}}"
    "\\paperw11906\\paperh16838\\margl1134\\margr850\\sectd\\titlepg"
    "{\\header \\pard\\plain Header text\\par}{\\footer \\pard\\plain Footer text\\par}"
    "\\pard\\plain\\s1\\b\\fs32 Heading\\par"
    "\\pard\\plain\\s0\\sl360\\slmult1\\tqr\\tldot\\tx5000\\cbpat2\\shading2000\\brdrb\\brdrs\\brdrw10\\lang1033 "
    "{\\*\\bkmkstart here}Body{\\*\\bkmkend here} text{\\super\\chftn}{\\footnote \\pard\\plain {\\super\\chftn} A note.}"
    "{\\v hidden words {\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}{\\fldrslt a hidden link}}}"
    " after\\tab tabbed {\\up6 raised}\\par"
    "\\pard\\plain\\page After the break"
    "\\sect\\sectd\\sbknone\\cols2 \\pard\\plain Second section\\par}";

QByteArray between(const QByteArray &text, const QByteArray &from, const QByteArray &to)
{
    const qsizetype start = text.indexOf(from);
    return start < 0 ? QByteArray() : text.mid(start, text.indexOf(to, start) - start);
}

} // namespace

class TestRtfKept : public QObject
{
    Q_OBJECT

private slots:
    void keptWhereItStood();
    void shownAsWellAsKept();
    void typingKeepsTheRest();
    void underlinesKeepTheirKind();
    void cellsKeepTheirEdges();
    void unlabelledListLevelsStayInTheirList();
    void paragraphsKeepWhatTheyStated();
    void otherScriptsKeepTheirWords();
    void scriptWordsFollowTheirGroups();
    void symbolFieldsStayFields();
    void listContinuationsAreNoItems();
    void listParagraphsKeepTheirIndents();
    void framedParagraphsStayFramed();
    void picturePropertiesStayWithThePicture();
    void pageBordersKeepTheirLook();
    void textShownUnderAHidingStyleStaysShown();
    void pageBreakAfterTextStaysAfterIt();
    void lockedFieldsStayLocked();
    void tableStartingTheTextStaysFirst();
    void emptyParagraphKeepsItsCharacterStyle();
    void tabKindWithoutStopGoesToTheNextStop();
    void symbolFontTextGoesBackAsBytes();
    void keptGroupsSkipTheFallbacksTheyHad();
};

void TestRtfKept::keptWhereItStood()
{
    QTextDocument document;
    QVERIFY(!rtf::read(wordLike, document));
    const QByteArray saved = rtf::write(document);
    // Document level, in the order Word reads it.
    for (const char *part : {"\\ansicpg1251", "\\deflang1049", "{\\stylesheet{\\s0 Normal;}", "{\\info{\\title A title}",
                             "\\paperw11906\\paperh16838\\margl1134\\margr850\\sectd\\titlepg",
                             "{\\header \\pard\\plain Header text\\par}", "{\\footer \\pard\\plain Footer text\\par}",
                             "\\cols2"})
        QVERIFY2(saved.contains(part), part);
    QVERIFY(saved.indexOf("{\\info") < saved.indexOf("\\pard"));
    // The file's fonts and colours keep their numbers, so that kept words still mean them.
    QVERIFY(saved.contains("{\\f1\\fswiss Arial;}"));
    QVERIFY(saved.contains("\\red200\\green200\\blue255;"));
    // In the text, at their places.
    QVERIFY(saved.contains("{\\*\\bkmkstart here}"));
    QVERIFY(saved.indexOf("{\\*\\bkmkstart here}") < saved.indexOf("Body"));
    QVERIFY(saved.indexOf("{\\*\\bkmkend here}") < saved.indexOf(" text", saved.indexOf("Body")));
    QVERIFY(saved.contains("\\chftn{\\footnote \\pard\\plain {\\super\\chftn} A note.}"));
    QVERIFY(saved.contains("{\\v hidden words }"));
    QVERIFY(saved.contains("HYPERLINK \"http://example.com/\""));
    QVERIFY(saved.contains("\\s1"));
    QVERIFY(saved.contains("\\lang1033"));
    QVERIFY(saved.contains("\\tqr\\tldot\\tx5000"));
    QVERIFY(saved.contains("\\brdrb\\brdrs\\brdrw10"));
    QVERIFY(saved.contains("\\shading2000"));
    QVERIFY(saved.contains("\\sl360\\slmult1"));
    QVERIFY(saved.contains("\\up6"));
    // A break written as a \page between paragraphs stays one: some readers start a new page
    // style there but not at a \pagebb.
    QVERIFY(between(saved, "raised", "After the break").contains("\\page"));
    QVERIFY(!saved.contains("\\pagebb"));
    QVERIFY(between(saved, "tabbed", "Second").contains("\\sect"));
    // The footnote's number is not left behind as text.
    QVERIFY(!saved.contains(" 1}"));

    // And it reads back the same, and saves to the same bytes.
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
    QCOMPARE(rtf::write(again), saved);
}

void TestRtfKept::shownAsWellAsKept()
{
    QTextDocument document;
    QVERIFY(!rtf::read(wordLike, document));
    QCOMPARE(rtftest::text(document), QStringLiteral("Heading\nBody text1 after\ttabbed raised\nAfter the break\nSecond section\n"));
    const QTextBlock body = document.findBlockByNumber(1);
    const QTextBlockFormat format = body.blockFormat();
    QCOMPARE(format.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(format.lineHeight(), 150.0);
    QCOMPARE(format.tabPositions().size(), 1);
    QCOMPARE(format.tabPositions().first().type, QTextOption::RightTab);
    QCOMPARE(format.background().color(), QColor(200, 200, 255));
    // A page break starts the next paragraph on a new page: it is not a paragraph itself.
    QVERIFY(rtf::startsPage(document.findBlockByNumber(2).blockFormat()));
    QTextCursor raised(&document);
    raised.setPosition(body.position() + body.text().indexOf(u"raised") + 1);
    QVERIFY(raised.charFormat().baselineOffset() > 0);
}

void TestRtfKept::typingKeepsTheRest()
{
    QTextDocument document;
    QVERIFY(!rtf::read(wordLike, document));
    const QByteArray before = rtf::write(document);
    QTextCursor cursor(document.findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral(" typed"));
    const QByteArray after = rtf::write(document);
    QVERIFY(after.contains("typed"));
    // Everything else is where it was: only the typed word differs.
    QByteArray withoutTyping = after;
    withoutTyping.replace(" typed", "");
    withoutTyping.replace("{\\f0\\fs24\\lang1033 }", "");
    QCOMPARE(QString::fromLatin1(withoutTyping), QString::fromLatin1(before));

    // Deleting the text a kept thing belongs to takes it away, and only it.
    QTextCursor note(&document);
    const QTextBlock body = document.findBlockByNumber(1);
    note.setPosition(body.position() + body.text().indexOf(u"text1") + 4);
    note.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    note.removeSelectedText();
    const QByteArray noNote = rtf::write(document);
    QVERIFY(!noNote.contains("\\footnote"));
    QVERIFY(noNote.contains("{\\header"));
}

// Lines Qt can draw are drawn; the others show as a plain line. Each goes back as written.
void TestRtfKept::underlinesKeepTheirKind()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\uld dotted}{\\ulwave wave}{\\uldb double}{\\ul plain}{\\uld\\ul0 none}\\par}", document));
    const auto shownAt = [&](int position) {
        QTextCursor cursor(&document);
        cursor.setPosition(position + 1);
        return cursor.charFormat().underlineStyle();
    };
    QCOMPARE(shownAt(0), QTextCharFormat::DotLine);
    QCOMPARE(shownAt(6), QTextCharFormat::WaveUnderline);
    QCOMPARE(shownAt(10), QTextCharFormat::SingleUnderline);
    const QByteArray saved = rtf::write(document);
    for (const char *word : {"\\uld dotted", "\\ulwave wave", "\\uldb double", "\\ul plain"})
        QVERIFY2(saved.contains(word), word);
    QVERIFY(!saved.contains("\\ul none") && !saved.contains("\\uld none"));
}

// A styled paragraph goes back with what it stated itself and what was changed in it, not
// with what its style gives: a reader may see the style otherwise (LibreOffice gives a bare
// "heading 1" its own spacing, and takes none from the style it is based on). An unstyled one
// keeps the defaults it stated, which LibreOffice would otherwise take from the Normal style,
// and \sl0 stays (LibreOffice keeps it as "at least 0").
void TestRtfKept::paragraphsKeepWhatTheyStated()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\stylesheet{\\sa160 Normal;}{\\s1\\sb240\\sbasedon0 heading 1;}{\\s2 heading 2;}}"
                       "\\pard\\s1\\qc Styled\\par\\pard\\s2\\sa0 Stated\\par\\pard\\s2\\li720\\s1 Both\\par"
                       "\\pard\\ql\\sa0 Plain\\par\\pard\\sb0\\s1 Before\\par\\pard\\sl0 Single\\par}",
                       document));
    QCOMPARE(document.findBlockByNumber(2).blockFormat().topMargin(), document.firstBlock().blockFormat().topMargin());
    QCOMPARE(document.findBlockByNumber(4).blockFormat().topMargin(), 0.0); // stated before the style, it stands
    const QByteArray saved = rtf::write(document);
    for (const char *words : {"\\pard\\s1\\qc\\plain ", "\\pard\\s2\\sa0\\plain ", "\\pard\\s1\\li720\\plain ", "\\pard\\ql\\sa0 ", "\\pard\\s1\\sb0\\plain ", "\\pard\\sl0"})
        QVERIFY2(saved.contains(words), words);
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again), rtftest::dump(document));

    QTextCursor cursor(&document);
    QTextBlockFormat changed = cursor.blockFormat();
    changed.setTopMargin(0);
    cursor.setBlockFormat(changed);
    QVERIFY(rtf::write(document).contains("\\pard\\s1\\qc\\sb0\\plain "));
}

// Rows whose cells stand on other edges than the table's shared columns, or stop short of
// them, go back with their own edges; a cell merged since takes the table's columns.
void TestRtfKept::cellsKeepTheirEdges()
{
    const QByteArray rows = "{\\rtf1 \\trowd\\trleft-108\\cellx2700\\cellx5670\\cellx8748 \\intbl a\\cell b\\cell c\\cell\\row"
                            "\\trowd\\trleft-108\\cellx2430\\cellx5796\\cellx8748 \\intbl d\\cell e\\cell f\\cell\\row"
                            "\\trowd\\trleft-108\\cellx5796 \\intbl g\\cell\\row\\pard after\\par}";
    QTextDocument document;
    QVERIFY(!rtf::read(rows, document));
    const QByteArray saved = rtf::write(document);
    for (const char *row : {"\\trleft-108\\cellx2700\\cellx5670\\cellx8748", "\\trleft-108\\cellx2430\\cellx5796\\cellx8748",
                            "\\trleft-108\\cellx5796\n"})
        QVERIFY2(saved.contains(row), row);
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
    QCOMPARE(rtf::write(again), saved);

    auto *table = qobject_cast<QTextTable *>(document.rootFrame()->childFrames().first());
    QVERIFY(table);
    table->mergeCells(1, 0, 1, table->cellAt(1, 1).column() + table->cellAt(1, 1).columnSpan());
    const QByteArray merged = rtf::write(document);
    QVERIFY(merged.contains("\\trleft-108\\cellx2700\\cellx5670\\cellx8748"));
    QVERIFY(!merged.contains("\\cellx2430"));
    QVERIFY(merged.contains("\\cellx8748"));
}

// A heading on a list level without a label (\\levelnfc255) is no list item here, but it
// stays in the file's list, so that other readers number it and its siblings alike.
void TestRtfKept::unlabelledListLevelsStayInTheirList()
{
    const QByteArray file = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc255{\\leveltext \\'00;}}\\listid7}}"
                            "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}"
                            "\\pard\\ls1\\ilvl0\\li792\\fi-432 Heading\\par\\pard Body\\par}";
    QTextDocument document;
    QVERIFY(!rtf::read(file, document));
    QVERIFY(!document.begin().textList());
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "\\pard", "Heading").contains("\\ls1\\ilvl0\\li792\\fi-432"));
    QVERIFY(!between(saved, "Heading", "Body").contains("\\ls"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);

    // \\ls0 is a list where the override table has one of that number, and only there.
    QByteArray zero = file;
    zero.replace("\\levelnfc255", "\\levelnfc0").replace("\\ls1", "\\ls0");
    QTextDocument numbered;
    QVERIFY(!rtf::read(zero, numbered));
    QVERIFY(numbered.begin().textList());
    QVERIFY(rtf::write(numbered).contains("\\ls0\\ilvl0"));
    zero.replace("\\listoverridecount0\\ls0", "\\listoverridecount0\\ls2");
    QTextDocument plain;
    QVERIFY(!rtf::read(zero, plain));
    QVERIFY(!plain.begin().textList());
}

// After \rtlch or \dbch, \f and \fs format another script's characters, and a group
// starts again in the text's own: the words go back in their order and groups, until the
// run is given another look.
void TestRtfKept::otherScriptsKeepTheirWords()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 David;}{\\f2 MS Mincho;}}"
                       "\\pard\\plain\\rtlch\\f1\\fs24 first\\par"
                       "\\pard\\plain{\\ltrch\\ab\\af2 {\\rtlch\\b\\f1\\cf0 second}}\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("{\\rtlch\\f1\\fs24 first}"));
    QVERIFY(saved.contains("{\\ltrch\\ab\\af2{\\rtlch\\b\\f1 second}}"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);

    QTextCursor cursor(document.begin());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat arial;
    arial.setFontFamilies(QStringList{"Arial"});
    cursor.mergeCharFormat(arial);
    const QByteArray edited = rtf::write(document);
    QVERIFY(edited.contains("{\\f0\\fs24 first}"));
    QVERIFY(edited.contains("\\rtlch\\b\\f1 second"));

    // Words a paragraph gave once before its runs' groups go back there, once, and end with it.
    QTextDocument runs;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 David;}}"
                       "\\pard\\plain\\rtlch\\af1\\ltrch\\f0\\fs24 {one }{\\loch\\b two }{three}\\par"
                       "\\pard\\plain four\\par}",
                       runs));
    const QByteArray once = rtf::write(runs);
    QCOMPARE(once.count("\\rtlch\\af1\\ltrch\\f0\\fs24"), 1);
    QTextDocument read;
    QVERIFY(!rtf::read(once, read));
    QCOMPARE(rtftest::dump(read, true), rtftest::dump(runs, true));
}

// A run keeps the script words of the groups it stands in, the innermost after a {: a \plain
// starts them anew for its group alone, and the words of groups closed before are gone.
// A character style is kept as its word, not as the words it gives.
void TestRtfKept::scriptWordsFollowTheirGroups()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 David;}{\\f2 MS Mincho;}}"
                       "{\\stylesheet{\\*\\cs5\\loch\\f2 Mark;}}"
                       "\\pard\\plain\\rtlch\\af1\\ltrch\\f0 a{\\loch\\b b{\\plain\\hich\\f2 c}d}{\\cs5 e}{\\dbch f}g\\par}",
                       document));
    QByteArrayList runs;
    for (auto fragment = document.begin().begin(); !fragment.atEnd(); ++fragment) {
        const QTextFragment run = fragment.fragment();
        runs << run.text().toLatin1() + '=' + run.charFormat().property(rtf::ScriptWords).toByteArray();
    }
    const QByteArray outer = "\\rtlch\\af1\\ltrch\\f0";
    QCOMPARE(runs, (QByteArrayList{"a=" + outer, "b=" + outer + "{\\loch\\b", "c=\\hich\\f2", "d=" + outer + "{\\loch\\b",
                                   "e=" + outer + "{\\cs5", "f=" + outer + "{\\dbch", "g=" + outer}));
}

// Readers take a SYMBOL field's character from its instruction: saved as its character
// alone, or with it as the result, they lose it or show it twice. Typed text stays text.
void TestRtfKept::symbolFieldsStayFields()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Wingdings;}}"
                       "\\pard ({\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\" \\\\s 12}{\\fldrslt\\f1 J}}) after\\par}",
                       document));
    QCOMPARE(rtftest::text(document), QStringLiteral("(J) after\n"));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("{\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\" \\\\s 12}{\\fldrslt }}"));
    QVERIFY(!saved.contains("\\f1{\\field"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));

    QTextCursor cursor(&document);
    cursor.setPosition(2);
    cursor.insertText(QStringLiteral("typed"));
    QVERIFY(rtftest::readText(rtf::write(document)).contains(u"typed"));
}

// Word writes a paragraph between list items with {\\*\\pn\\pnlvlcont ...\\pndec}: the kind word
// after it does not make it an item.
void TestRtfKept::listContinuationsAreNoItems()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1 \\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1} One\\par"
                       "\\pard{\\*\\pn\\pnlvlcont\\ilvl0\\ls0\\pnrnot0\\pndec} Between\\par"
                       "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1} Two\\par}",
                       document));
    QVERIFY(document.begin().textList());
    QVERIFY(!document.findBlockByNumber(1).textList());
    QVERIFY(document.findBlockByNumber(2).textList());
    QTextDocument again;
    QVERIFY(!rtf::read(rtf::write(document), again));
    QCOMPARE(rtftest::dump(again), rtftest::dump(document));
}

// LibreOffice indents a list paragraph by its list level, by its own words only where \\ri is
// given; then \\li with no \\fi means a first indent of 0, \\lin alone the level's. A list of
// \\pn words has no level to take them from: saved with \\ls, it gets \\ri.
void TestRtfKept::listParagraphsKeepTheirIndents()
{
    const QByteArray table = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}\\fi-360\\li720}\\listid7}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}";
    QTextDocument document;
    QVERIFY(!rtf::read(table + "\\pard\\ls1\\rin0\\lin0 Level\\par\\pard\\ls1\\li0\\ri0 Zero\\par"
                                 "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li720 Old\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "\\ls1", "Level").contains("\\ilvl0\\lin0\\ri0"));
    QVERIFY(between(saved, "Level", "Zero").contains("\\fi0\\li0\\ri0"));
    QVERIFY(between(saved, "Zero", "Old").contains("\\fi-360\\li720\\ri0"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);
}

// A paragraph placed on the page (\\posx, \\absw...) stays there; the next \\pard ends the frame.
void TestRtfKept::framedParagraphsStayFramed()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1 \\pard\\pvpg\\phpg\\posx2160\\posy3600\\absw4320\\dxfrtext180 Framed\\par\\pard Body\\par}", document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "\\pard", "Framed").contains("\\pvpg\\phpg\\posx2160\\posy3600\\absw4320\\dxfrtext180"));
    QVERIFY(!between(saved, "Framed", "Body").contains("\\posx"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);
}

// Readers make a shape of a picture with {\\*\\picprop}: it goes back inside the picture, which
// stays a picture here.
void TestRtfKept::picturePropertiesStayWithThePicture()
{
    const QByteArray properties = "{\\*\\picprop{\\sp{\\sn shapeType}{\\sv 75}}}";
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1 \\pard{\\pict" + properties + "\\pngblip\\picw1\\pich1 00}\\par}", document));
    QVERIFY(document.begin().begin().fragment().charFormat().isImageFormat());
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("{\\pict" + properties + "\\pngblip"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);
}

// A page border's style, width and spacing go back with it, and border words after a
// paragraph's own border are still the paragraph's.
void TestRtfKept::pageBordersKeepTheirLook()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1 \\margl1701\\pgbrdrl\\brdrdash\\brdrw20\\brsp567\\pgbrdrb\\brdrs\\brdrw0 "
                       "\\pard\\brdrb\\brdrdb\\brdrw30 Text\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("\\pgbrdrl\\brdrdash\\brdrw20\\brsp567\\pgbrdrb\\brdrs\\brdrw0"));
    QVERIFY(between(saved, "\\pard", "Text").contains("\\brdrb\\brdrdb\\brdrw30"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);
}

// Text the file unhid ({\\v0 ...}) under a style that hides stays shown in other readers.
void TestRtfKept::textShownUnderAHidingStyleStaysShown()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s43\\v Hidden;}}\\pard\\plain\\s43\\v{\\v0 Shown\\par}}", document));
    QCOMPARE(rtftest::text(document), QStringLiteral("Shown\n"));
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "\\pard\\s43", "Shown").contains("\\v0"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtf::write(again), saved);
}

// Other readers split a paragraph at a \page after its text otherwise than at one before the
// next paragraph's: it goes back where it stood. Emptied, the paragraph before it stays.
void TestRtfKept::pageBreakAfterTextStaysAfterIt()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\pard First\\page\\par\\pard Second\\par}", document));
    QCOMPARE(rtftest::text(document), QStringLiteral("First\n\nSecond\n"));
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "First", "\\pard").contains("\\page"));
    QCOMPARE(saved.count("\\page"), 1);
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));

    QTextCursor cursor(document.firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QTextDocument emptied;
    QVERIFY(!rtf::read(rtf::write(document), emptied));
    QCOMPARE(rtftest::text(emptied), QStringLiteral("\n\nSecond\n"));
    QVERIFY(rtf::startsPage(emptied.findBlockByNumber(1).blockFormat()));
}

// Unlocked, a field's result is worked out anew by its readers (Word on printing, LibreOffice
// on opening): the \\fldlock goes back with the field it stood in, and only there.
void TestRtfKept::lockedFieldsStayLocked()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\pard {\\field\\fldlock{\\*\\fldinst DATE}{\\fldrslt 1 May}} and "
                       "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}\\par}",
                       document));
    QCOMPARE(rtftest::text(document), QStringLiteral("1 May and 7\n"));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("{\\field\\fldlock{\\*\\fldinst DATE}"));
    QCOMPARE(saved.count("\\fldlock"), 1);
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
}

// Qt starts every document with a paragraph: one the file did not have, before a table the
// text starts with, is not written (other readers would show it), while the file's own empty
// paragraph, or one typed into, is.
void TestRtfKept::tableStartingTheTextStaysFirst()
{
    const QByteArray table = "\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\pard b\\par}";
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi" + table, document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.indexOf("\\par\n") > saved.indexOf("\\trowd"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));

    QTextDocument withParagraph;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\pard\\par" + table, withParagraph));
    QVERIFY(rtf::write(withParagraph).indexOf("\\par\n") < rtf::write(withParagraph).indexOf("\\trowd"));
    QTextCursor(&document).insertText(QStringLiteral("typed"));
    QCOMPARE(rtftest::readText(rtf::write(document)), QStringLiteral("typed\na\nb\n"));
}

// Other readers show an empty paragraph's mark in the character style in force at its end;
// the style goes back there, and no further.
void TestRtfKept::emptyParagraphKeepsItsCharacterStyle()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\stylesheet{\\*\\cs10\\additive\\b Strong;}}"
                       "\\pard{\\cs10\\b\\par}\\pard after\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(between(saved, "}}", "after").contains("\\cs10"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
    QVERIFY(!again.findBlockByNumber(1).begin().fragment().charFormat().hasProperty(rtf::CharacterStyle));
    QCOMPARE(again.findBlockByNumber(1).begin().fragment().charFormat().fontWeight(), int(QFont::Normal));
}

// A tab kind with no stop after it waits, across \\pard, for the next stop (as LibreOffice
// reads it): written back with the paragraphs before, it would reach theirs instead.
void TestRtfKept::tabKindWithoutStopGoesToTheNextStop()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\pard\\tx600\\tqr a\\par b\\par\\pard\\tx900 c\\par}", document));
    const QList<QTextOption::Tab> first = document.firstBlock().blockFormat().tabPositions();
    QCOMPARE(first.size(), 1);
    QCOMPARE(first[0].type, QTextOption::LeftTab);
    const QList<QTextOption::Tab> last = document.findBlockByNumber(2).blockFormat().tabPositions();
    QCOMPARE(last.size(), 1);
    QCOMPARE(last[0].type, QTextOption::RightTab);

    const QByteArray saved = rtf::write(document);
    QCOMPARE(saved.count("\\tqr"), 1);
    QVERIFY(saved.contains("\\tqr\\tx900"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
}

// Other readers show a symbol font's bytes as its own glyphs (\\'b7 in Symbol is its bullet)
// and a \\u as the Unicode character, which the font lacks: bytes go back as bytes.
void TestRtfKept::symbolFontTextGoesBackAsBytes()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f3\\froman\\fcharset2 Symbol;}}"
                       "\\pard{\\f3\\'b7\\'a3\\tab}Item \\'b7 \\u8364?\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("\\'b7\\'a3\\tab"));
    QCOMPARE(saved.count("\\'"), 2); // the Arial text's middle dot and euro go as \\u
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::dump(again, true), rtftest::dump(document, true));
}

// Japanese Word text gives two fallback bytes for each \\u (\\uc2). A group kept as written
// is read again under the saved header's \\uc1, where the second byte would join a field's
// instruction or a bookmark's name: it says the count it had.
void TestRtfKept::keptGroupsSkipTheFallbacksTheyHad()
{
    QTextDocument document;
    QVERIFY(!rtf::read("{\\rtf1\\ansi\\ansicpg932\\uc2 {\\field{\\*\\fldinst REF \\u12354\\'82\\'a0 }{\\fldrslt x}}"
                       "{\\*\\bkmkstart \\u12354\\'82\\'a0}y\\par}",
                       document));
    const QByteArray saved = rtf::write(document);
    QVERIFY(saved.contains("\\uc1"));
    QVERIFY(saved.contains("{\\*\\fldinst\\uc2 REF \\u12354\\'82\\'a0 }"));
    QVERIFY(saved.contains("{\\*\\bkmkstart\\uc2 \\u12354\\'82\\'a0}"));
    QTextDocument again;
    QVERIFY(!rtf::read(saved, again));
    QCOMPARE(rtftest::text(again), rtftest::text(document));
}

QTEST_MAIN(TestRtfKept)
#include "tst_rtf_kept.moc"
