#include "editor/plaintext.h"

#include <QTest>
#include <QTextDocument>

class TestPlainText : public QObject
{
    Q_OBJECT
private slots:
    void decodes_data();
    void decodes();
    void encodesUtf8WithLineFeeds();
    void documentTextKeepsEveryCharacter();
};

void TestPlainText::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString sample = QStringLiteral("Grüße – €\nzweite");
    QTest::newRow("utf-8") << sample.toUtf8() << sample;
    QTest::newRow("utf-8 with bom") << "\xEF\xBB\xBF" + sample.toUtf8() << sample;
    QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (QChar c : sample) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("utf-16 le") << le << sample;
    QTest::newRow("utf-16 be") << be << sample;
    QTest::newRow("windows-1252") << QByteArray("Gr\xFC\xDF" "e \x96 \x80") << QStringLiteral("Grüße – €");
    QTest::newRow("crlf, cr and lf") << QByteArray("a\r\nb\rc\nd") << QStringLiteral("a\nb\nc\nd");
    QTest::newRow("rtf stays characters") << QByteArray("{\\rtf1 \\b x}") << QStringLiteral("{\\rtf1 \\b x}");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestPlainText::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(PlainText::decode(bytes), text);
}

void TestPlainText::encodesUtf8WithLineFeeds()
{
    QCOMPARE(PlainText::encode(QStringLiteral("é\r\nx\ry")), QByteArray("\xC3\xA9\nx\ny"));
}

void TestPlainText::documentTextKeepsEveryCharacter()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("a\u00A0b\nsecond"));
    QCOMPARE(PlainText::fromDocument(document), QStringLiteral("a\u00A0b\nsecond"));
}

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
