// The document builder shares one format between runs of one style, also when a file uses
// thousands of styles, and a style's format is the same whether built early or late.
#include "documentdump.h"

#include <QSet>
#include <QTest>

namespace {

// Character format indexes of the document's runs, by their text.
QHash<QString, int> formatIndexes(const QTextDocument &document)
{
    QHash<QString, int> indexes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            indexes.insert(it.fragment().text().trimmed(), it.fragment().charFormatIndex());
    }
    return indexes;
}

} // namespace

class TestRtfBuilder : public QObject
{
    Q_OBJECT

private slots:
    void runsOfOneStyleShareOneFormat()
    {
        // More styles than the builder remembers, so that early ones are built again late.
        constexpr int fonts = 5000;
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
        for (int i = 0; i < fonts; ++i)
            rtf += "{\\f" + QByteArray::number(i) + " Face" + QByteArray::number(i) + ";}";
        rtf += "}\\pard ";
        for (int i = 0; i < fonts; ++i)
            rtf += "{\\f" + QByteArray::number(i) + "\\cf0 a" + QByteArray::number(i) + "}\\par ";
        rtf += "{\\f1 again}\\par {\\f1\\b bold}\\par}";
        QTextDocument document;
        QVERIFY(!rtf::read(rtf, document).has_value());

        const QHash<QString, int> indexes = formatIndexes(document);
        QCOMPARE(indexes.value("again"), indexes.value("a1"));
        QVERIFY(indexes.value("bold") != indexes.value("a1"));
        QSet<int> distinct;
        for (int i = 0; i < fonts; ++i)
            distinct.insert(indexes.value("a" + QString::number(i)));
        QCOMPARE(distinct.size(), fonts);
        QCOMPARE(document.begin().next().begin().fragment().charFormat().fontFamilies().toStringList(),
                 QStringList{"Face1"});
    }

    void distinctColourPairsStayApart()
    {
        // Pairs with the same sum of colours: (1,2) and (2,1) must not read as one.
        const QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red10\\green0\\blue0;\\red0\\green10\\blue0;}"
                               "\\pard{\\cf1\\cb2 one}\\par{\\cf2\\cb1 two}\\par}";
        QTextDocument document;
        QVERIFY(!rtf::read(rtf, document).has_value());
        const QTextCharFormat one = document.begin().begin().fragment().charFormat();
        const QTextCharFormat two = document.begin().next().begin().fragment().charFormat();
        QCOMPARE(one.foreground().color(), QColor(10, 0, 0));
        QCOMPARE(one.background().color(), QColor(0, 10, 0));
        QCOMPARE(two.foreground().color(), QColor(0, 10, 0));
        QCOMPARE(two.background().color(), QColor(10, 0, 0));
    }
};

QTEST_MAIN(TestRtfBuilder)
#include "tst_rtf_builder.moc"
