#include "documentdump.h"
#include "rtf/rtf.h"
#include "support/libreoffice.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

// What we write, LibreOffice opens with the same content: tables (nested ones too, and
// merged cells), lists with their levels, pictures at their size and links. LibreOffice starts slowly, so every
// case goes into one file, converted to HTML once; each test looks at its part of it.
class TestRtfLibreOffice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void tableKeepsItsCellsAndColumns();
    void mergedCellsKeepTheirSpans();
    void listsKeepTheirKindAndLevels();
    void pictureKeepsItsSizeAndPixels();
    void hyperlinkKeepsTargetAndText();

private:
    QTemporaryDir m_dir;
    QString m_html;
};

namespace {

// Column right edges 1500, 4500 and 6000 twips: 100, 200 and 100 pixels. The nested
// table has widths that fit its cell, as Word writes them: a nested table wider than its
// cell makes LibreOffice shift the outer table's columns from row to row.
QByteArray casesRtf()
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                     "{\\*\\listtable{\\list{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc0}\\listid1}"
                     "{\\list{\\listlevel\\levelnfc23}{\\listlevel\\levelnfc23}\\listid2}}\n"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}\n"
                     "\\pard Before the table\\par\n"
                     "\\trowd\\cellx1500\\cellx4500\\cellx6000 \\intbl A1\\cell B1\\cell C1\\cell\\row\n"
                     "\\trowd\\cellx1500\\cellx4500\\cellx6000 \\intbl A2\\cell B2\\par"
                     "\\itap2 N1\\nestcell N2\\nestcell{\\*\\nesttableprops\\trowd\\cellx900\\cellx1800\\nestrow}"
                     "{\\nonesttables\\par}\\itap1 after nest\\cell C2\\cell\\row\n"
                     // Merged down over three rows and across two columns; the last row's
                     // wider cell is a merge across as Word writes it now.
                     "\\pard Between the tables\\par\n"
                     "\\trowd\\clvmgf\\cellx1500\\clmgf\\cellx3000\\clmrg\\cellx4500 \\intbl M1\\cell M2\\cell\\cell\\row\n"
                     "\\trowd\\clvmrg\\cellx1500\\cellx3000\\cellx4500 \\intbl \\cell X\\cell Y\\cell\\row\n"
                     "\\trowd\\clvmrg\\cellx1500\\cellx4500 \\intbl \\cell Wide\\cell\\row\n"
                     "\\pard\\ls1 Number one\\par\\pard\\ls1 Number two\\par\\pard\\ls1\\ilvl1 Number inner\\par"
                     "\\pard\\ls1 Number three\\par\n"
                     "\\pard\\ls2 Bullet one\\par\\pard\\ls2\\ilvl1 Bullet inner\\par\\pard\\ls2 Bullet two\\par\n";
    // 40×20 pixels shown at 1200×600 twips, so that the size LibreOffice shows tells the
    // goal size from the pixel size.
    rtf += "\\pard Picture {\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600 " + rtftest::redPng().toHex()
        + "} here\\par\n";
    rtf += "\\pard See {\\field{\\*\\fldinst HYPERLINK \"http://example.com/x\"}{\\fldrslt the example}} now\\par\n}";
    return rtf;
}

// The outermost <tag> elements in `html`, each with its start and end tags; ones of the
// same tag inside them stay part of them.
QStringList elements(const QString &html, const QString &tag)
{
    const QRegularExpression tags("<(/?)" + tag + "\\b[^>]*>", QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    int depth = 0;
    qsizetype start = 0;
    for (auto it = tags.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(1).isEmpty()) {
            if (depth++ == 0)
                start = match.capturedStart();
        } else if (depth > 0 && --depth == 0) {
            found << html.mid(start, match.capturedEnd() - start);
        }
    }
    return found;
}

// The <tag> start tags in `html`, for elements that have no end tag.
QStringList startTags(const QString &html, const QString &tag)
{
    const QRegularExpression start("<" + tag + "\\b[^>]*>", QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (auto it = start.globalMatch(html); it.hasNext();)
        found << it.next().captured();
    return found;
}

// What is between an element's start and end tags.
QString inner(const QString &element)
{
    const qsizetype begin = element.indexOf('>') + 1;
    return element.mid(begin, element.lastIndexOf('<') - begin);
}

// The element with every inner <tag> element taken out.
QString without(QString element, const QString &tag)
{
    for (const QString &nested : elements(inner(element), tag))
        element.remove(nested);
    return element;
}

QString textOf(QString html)
{
    static const QRegularExpression tags("<[^>]*>");
    return html.remove(tags).simplified();
}

QString attribute(const QString &element, const QString &name)
{
    const QRegularExpression value("<[^>]*\\b" + name + "=\"([^\"]*)\"", QRegularExpression::CaseInsensitiveOption);
    return value.match(element).captured(1);
}

// Each row's cells as the text they show, nested tables left out: "A1|B1|C1".
QStringList rowTexts(const QString &table)
{
    QStringList rows;
    for (const QString &row : elements(inner(table), "tr")) {
        QStringList cells;
        for (const QString &cell : elements(inner(row), "td"))
            cells << textOf(without(cell, "table"));
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

void TestRtfLibreOffice::initTestCase()
{
    if (testsupport::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");
    QVERIFY(m_dir.isValid());

    QTextDocument document;
    QVERIFY(!rtf::read(casesRtf(), document));
    const QString rtfPath = m_dir.filePath("cases.rtf");
    QFile rtfFile(rtfPath);
    QVERIFY(rtfFile.open(QIODevice::WriteOnly));
    rtfFile.write(rtf::write(document));
    rtfFile.close();

    m_html = testsupport::convertToHtml(rtfPath, m_dir.path());
    QVERIFY2(!m_html.isEmpty(), "LibreOffice produced nothing");
}

void TestRtfLibreOffice::tableKeepsItsCellsAndColumns()
{
    const QStringList tables = elements(m_html, "table").filter("A1");
    QCOMPARE(tables.size(), 1);
    const QString &table = tables.first();
    QCOMPARE(rowTexts(table), QStringList({"A1|B1|C1", "A2|B2 after nest|C2"}));

    // Both rows on the same three column edges: LibreOffice spans cells across extra
    // columns where rows disagree.
    QVERIFY2(!table.contains("colspan", Qt::CaseInsensitive), qPrintable(table));
    const QStringList columns = startTags(without(table, "table"), "col");
    QStringList widths;
    const int padding = attribute(table, "cellpadding").toInt();
    for (const QString &column : columns)
        widths << QString::number(attribute(column, "width").toInt() + 2 * padding);
    QCOMPARE(widths, QStringList({"100", "200", "100"}));

    const QStringList secondRowCells = elements(inner(elements(inner(table), "tr").value(1)), "td");
    const QStringList nested = elements(inner(secondRowCells.value(1)), "table");
    QCOMPARE(nested.size(), 1);
    QCOMPARE(rowTexts(nested.first()), QStringList({"N1|N2"}));
}

void TestRtfLibreOffice::mergedCellsKeepTheirSpans()
{
    const QStringList tables = elements(m_html, "table").filter("M1");
    QCOMPARE(tables.size(), 1);
    QVERIFY2(!tables.first().contains("A1"), "the merged table ran into the one before it");
    // Each cell as "text rows x columns".
    QStringList rows;
    for (const QString &row : elements(inner(tables.first()), "tr")) {
        QStringList cells;
        for (const QString &cell : elements(inner(row), "td")) {
            const QString start = cell.left(cell.indexOf('>') + 1);
            const QString rowSpan = attribute(start, "rowspan"), columnSpan = attribute(start, "colspan");
            cells << textOf(cell) + ' ' + (rowSpan.isEmpty() ? "1" : rowSpan) + 'x'
                    + (columnSpan.isEmpty() ? "1" : columnSpan);
        }
        rows << cells.join('|');
    }
    QCOMPARE(rows, QStringList({"M1 3x1|M2 1x2", "X 1x1|Y 1x1", "Wide 1x2"}));
}

void TestRtfLibreOffice::listsKeepTheirKindAndLevels()
{
    // One list each: the item after the inner level carries on the outer list (and its
    // count) instead of starting a new one.
    const QStringList numbered = elements(m_html, "ol");
    QCOMPARE(numbered.size(), 1);
    // No type attribute on either level: decimal numbers.
    QVERIFY2(attribute(numbered.first(), "type").isEmpty(), qPrintable(numbered.first()));
    QCOMPARE(textOf(without(numbered.first(), "ol")), QStringLiteral("Number one Number two Number three"));
    const QStringList numberedInner = elements(inner(numbered.first()), "ol");
    QCOMPARE(numberedInner.size(), 1);
    QCOMPARE(textOf(numberedInner.first()), QStringLiteral("Number inner"));
    QCOMPARE(without(numbered.first(), "ol").count("<li"), 3);

    const QStringList bulleted = elements(m_html, "ul");
    QCOMPARE(bulleted.size(), 1);
    QCOMPARE(textOf(without(bulleted.first(), "ul")), QStringLiteral("Bullet one Bullet two"));
    const QStringList bulletedInner = elements(inner(bulleted.first()), "ul");
    QCOMPARE(bulletedInner.size(), 1);
    QCOMPARE(textOf(bulletedInner.first()), QStringLiteral("Bullet inner"));

    // Neither list swallowed its neighbours.
    QVERIFY(!numbered.first().contains("Bullet") && !bulleted.first().contains("Number"));
    QVERIFY(!numbered.first().contains("Picture") && !bulleted.first().contains("Picture"));
}

void TestRtfLibreOffice::pictureKeepsItsSizeAndPixels()
{
    const QStringList images = startTags(m_html, "img");
    QCOMPARE(images.size(), 1);
    const QString &image = images.first();
    QCOMPARE(attribute(image, "width"), QStringLiteral("80"));
    QCOMPARE(attribute(image, "height"), QStringLiteral("40"));

    // LibreOffice saves the picture beside the HTML, or inline as a data URL.
    const QString source = attribute(image, "src");
    QImage shown;
    if (source.startsWith("data:"))
        shown.loadFromData(QByteArray::fromBase64(source.section(',', 1).toLatin1()));
    else
        shown.load(QDir(m_dir.path()).filePath(source));
    QCOMPARE(shown.size(), QSize(40, 20));
    QCOMPARE(shown.pixelColor(20, 10), QColor(Qt::red));

    const QString paragraph = elements(m_html, "p").filter("<img").value(0);
    QCOMPARE(textOf(paragraph), QStringLiteral("Picture here"));
}

void TestRtfLibreOffice::hyperlinkKeepsTargetAndText()
{
    const QStringList links = elements(m_html, "a");
    QCOMPARE(links.size(), 1);
    QCOMPARE(attribute(links.first(), "href"), QStringLiteral("http://example.com/x"));
    QCOMPARE(textOf(links.first()), QStringLiteral("the example"));
    QCOMPARE(textOf(elements(m_html, "p").filter("<a ").value(0)), QStringLiteral("See the example now"));
}

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtf_libreoffice.moc"
