#include "editor/plaintext.h"
#include "editor/textdecoding.h"
#include "editor/textform.h"
#include "rtf/rtf.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

using namespace PlainText;

class TestPlainText : public QObject
{
    Q_OBJECT
private slots:
    void detectsTheEncoding_data();
    void detectsTheEncoding();
    void damagedUtf8ShowsOnlyTheBadByteAsMarked();
    void editsElsewhereKeepKeptBytesAndLineEnds();
    void aDocumentNotReadFromTextIsWrittenAsUtf8WithLineFeeds();
    void windows1252GivesWayToUtf8RatherThanLoseCharacters();
    void aLongLineShowsInPiecesAndIsSavedWhole();
};

void TestPlainText::detectsTheEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    const QString sample = QStringLiteral("Grüße – €\nzweite");
    QTest::newRow("utf-8") << sample.toUtf8() << sample << int(Encoding::Utf8);
    QTest::newRow("utf-8 with bom") << "\xEF\xBB\xBF" + sample.toUtf8() << sample << int(Encoding::Utf8);
    QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (QChar c : sample) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("utf-16 le") << le << sample << int(Encoding::Utf16LE);
    QTest::newRow("utf-16 be") << be << sample << int(Encoding::Utf16BE);
    QTest::newRow("windows-1252") << QByteArray("Gr\xFC\xDF" "e \x96 \x80") << QStringLiteral("Grüße – €")
                                  << int(Encoding::Windows1252);
    // One valid sequence does not outweigh the bytes that are not.
    QTest::newRow("windows-1252 that holds an accident") << QByteArray("\xC3\xA9 caf\xE9 na\xEFve")
                                                         << QStringLiteral("Ã© café naïve")
                                                         << int(Encoding::Windows1252);
    QTest::newRow("crlf, cr and lf") << QByteArray("a\r\nb\rc\nd") << QStringLiteral("a\nb\nc\nd")
                                     << int(Encoding::Utf8);
    QTest::newRow("empty") << QByteArray() << QString() << int(Encoding::Utf8);
}

void TestPlainText::detectsTheEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    const Decoded decoded = decode(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(int(decoded.form.encoding), encoding);
}

void TestPlainText::damagedUtf8ShowsOnlyTheBadByteAsMarked()
{
    const QByteArray bytes = QStringLiteral("Grüße, café, naïve, über ").toUtf8() + "\xFF" + " Ende";
    QTextDocument document;
    load(document, bytes);
    QCOMPARE(document.toPlainText(), QStringLiteral("Grüße, café, naïve, über \uFFFD Ende"));
    QCOMPARE(save(document), bytes);
}

void TestPlainText::editsElsewhereKeepKeptBytesAndLineEnds()
{
    // Mixed line ends, a stray byte, and characters the document would take as structure.
    const QByteArray bytes = "one\r\ntwo\xC0\rthree\n" + QStringLiteral("\u2028\u2029\uFDD0\uFFFC").toUtf8() + "\r\n";
    QTextDocument document;
    load(document, bytes);
    QCOMPARE(document.blockCount(), 5);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("new "));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("end"));
    QCOMPARE(save(document), "new " + bytes + "end");

    // Enter in a line passes its line end on to both halves.
    cursor.setPosition(document.findBlockByNumber(1).position() + 1);
    cursor.insertBlock();
    QCOMPARE(save(document), "new " + bytes.left(5) + "t\rwo\xC0\rthree\n" + bytes.mid(16) + "end");
}

void TestPlainText::aDocumentNotReadFromTextIsWrittenAsUtf8WithLineFeeds()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("é"));
    cursor.insertText(QString(QChar::LineSeparator)); // a soft break typed with Shift+Enter
    cursor.insertImage(QTextImageFormat());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("𝄞"));
    QCOMPARE(save(document), QByteArray("\xC3\xA9\n\n\xF0\x9D\x84\x9E"));

    // A text file's form goes with its text when the document is replaced.
    load(document, "a\r\nb");
    document.setPlainText(QStringLiteral("a\nb"));
    QCOMPARE(save(document), QByteArray("a\nb"));
}

void TestPlainText::windows1252GivesWayToUtf8RatherThanLoseCharacters()
{
    QTextDocument document;
    load(document, "caf\xE9\r\n");
    QCOMPARE(decode("caf\xE9\r\n").form.encoding, Encoding::Windows1252);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("€ "));
    QCOMPARE(save(document), QByteArray("\x80 caf\xE9\r\n"));
    cursor.insertText(QStringLiteral("中"));
    QCOMPARE(save(document), QByteArray("\xE2\x82\xAC \xE4\xB8\xAD" "caf\xC3\xA9\r\n"));
}

void TestPlainText::aLongLineShowsInPiecesAndIsSavedWhole()
{
    // Words, a stray byte, and a stretch without spaces of characters of two code units.
    QByteArray words;
    while (words.size() < 2 * LinePieceLength)
        words += "word ";
    QByteArray notes;
    while (notes.size() < 3 * LinePieceLength)
        notes += "a\xF0\x9D\x84\x9E";
    const QByteArray bytes = words + "\xFF" + notes + "\r\nshort\r\n";
    QTextDocument document;
    load(document, bytes);
    QVERIFY(document.blockCount() > 5);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QVERIFY(block.length() - 1 <= LinePieceLength);
        QVERIFY(block.text().isEmpty() || !block.text().front().isLowSurrogate());
    }
    // Pieces of words end where the line could wrap.
    QVERIFY(document.begin().text().endsWith(u' '));
    QCOMPARE(save(document), bytes);

    // Joining two pieces adds no line end, and Enter in a piece adds one, whatever the
    // pieces around it.
    QTextCursor cursor(document.begin());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.deleteChar();
    QCOMPARE(save(document), bytes);
    const int at = LinePieceLength + 10;
    cursor.setPosition(at);
    cursor.insertBlock();
    QCOMPARE(save(document), bytes.left(at) + "\r\n" + bytes.mid(at));
    cursor.setPosition(document.findBlockByNumber(2).position());
    cursor.insertBlock();
    const int second = document.findBlockByNumber(3).position() - 3; // all ASCII before, and one line end
    QCOMPARE(save(document), bytes.left(at) + "\r\n" + bytes.mid(at, second - at) + "\r\n" + bytes.mid(second));

    // Written as RTF, a line is one paragraph, whatever pieces it shows in.
    QTextDocument rich;
    QVERIFY(!rtf::read(rtf::write(document, [](const QTextBlock &block) { return continuesLine(block, block.next()); }), rich));
    QString lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines += block.text() + (!block.next().isValid() || continuesLine(block, block.next()) ? "" : "\n");
    QCOMPARE(rich.blockCount(), 5);
    QCOMPARE(rich.toPlainText(), lines);
}

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
