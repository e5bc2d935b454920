#include "editor/richtextbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray utf16(QStringView text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        littleEndian ? bytes.append(low).append(high) : bytes.append(high).append(low);
    }
    return bytes;
}

// Text files of every kind the editing area reads: each must come back byte for byte.
QMap<QString, QByteArray> sampleFiles()
{
    const char16_t oddCharacters[] = u"a\u2028b\u2029c\uFFFCd\uFDD0e\uFDD1f\uFFFE\uFFFFg\uFEFFh\0i𝄞j\tk";
    const QString odd = QString::fromUtf16(oddCharacters, std::size(oddCharacters) - 1);
    const QString words = QStringLiteral("Grüße – € ‘quoted’ 中文");
    QMap<QString, QByteArray> files;
    for (const auto &[name, end] : {std::pair{"lf", "\n"}, {"crlf", "\r\n"}, {"cr", "\r"}}) {
        const QString lines = words + end + odd + end + end + words;
        files[QStringLiteral("utf8-%1.txt").arg(name)] = lines.toUtf8();
        files[QStringLiteral("utf8-bom-%1.txt").arg(name)] = "\xEF\xBB\xBF" + lines.toUtf8();
        files[QStringLiteral("utf16le-%1.txt").arg(name)] = utf16(lines, true);
        files[QStringLiteral("utf16be-%1-end.txt").arg(name)] = utf16(lines + end, false);
        files[QStringLiteral("cp1252-%1.txt").arg(name)] = QByteArray("caf\xE9 \x80\x81\x8D\x8F\x90\x9D\xFF") + end + "x" + end;
    }
    files["mixed-line-ends.txt"] = "a\r\nb\nc\rd\r\r\ne\n\rf\r\n\r\n\n\r";
    files["only-line-ends.txt"] = "\n\n\r\n";
    files["empty.txt"] = "";
    files["bom-only.txt"] = "\xEF\xBB\xBF";
    files["utf8-invalid-bytes.txt"] = QStringLiteral("Grüße café naïve ").toUtf8()
                                      + "\xFF \xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82\r\n\xC3";
    files["utf8-bom-invalid.txt"] = "\xEF\xBB\xBF\xFE\xFF\x80";
    const char16_t surrogates[] = {u'a', 0xD800, u'b', 0xDC00, 0xDBFF, u'\r', 0xD83D, 0xDE00};
    const QStringView lone(surrogates, std::size(surrogates));
    files["utf16le-lone-surrogates.txt"] = utf16(lone, true) + "\x41"; // and half a code unit
    files["utf16be-lone-surrogates.txt"] = utf16(lone, false);
    files["binary.bin"] = QByteArray("\x00\x01\x02\x1B[0m\x7F\x8F\x9D\xA0\xFF\r\r\n", 14);
    return files;
}

} // namespace

class TestTextRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void everyTextFileComesBackByteForByte();
    void whatIsTypedBesideAKeptByteIsWrittenAsTyped();
};

void TestTextRoundTrip::everyTextFileComesBackByteForByte()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("in") && QDir(dir.path()).mkdir("out"));
    const QMap<QString, QByteArray> files = sampleFiles();
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile file(dir.filePath("in/" + it.key()));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
    }
    RichTextBox box;
    for (const QString &name : QDir(dir.filePath("in")).entryList(QDir::Files)) {
        QVERIFY2(box.loadFile(dir.filePath("in/" + name), DocumentKind::PlainText).ok(), qPrintable(name));
        QVERIFY2(box.saveFile(dir.filePath("out/" + name), DocumentKind::PlainText).ok(), qPrintable(name));
        QFile out(dir.filePath("out/" + name));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll().toHex(' '), files.value(name).toHex(' '));
    }
}

void TestTextRoundTrip::whatIsTypedBesideAKeptByteIsWrittenAsTyped()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("caf\xC3\xA9 na\xC3\xAFve\xFF") == 13);
    file.close();
    RichTextBox box;
    QVERIFY(box.loadFile(path, DocumentKind::PlainText).ok());
    box.moveCursor(QTextCursor::End);
    // A soft line break, and a replacement mark of the user's own.
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::sendKeyEvent(QTest::Press, &box, Qt::Key_unknown, QStringLiteral("\uFFFD"), Qt::NoModifier);
    // Selecting up to just after the kept byte leaves it kept.
    QTextCursor selection(box.document());
    selection.setPosition(11, QTextCursor::KeepAnchor);
    box.setTextCursor(selection);
    QVERIFY(box.saveFile(path, DocumentKind::PlainText).ok());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(' '), QByteArray("caf\xC3\xA9 na\xC3\xAFve\xFF\n\xEF\xBF\xBD").toHex(' '));
}

QTEST_MAIN(TestTextRoundTrip)
#include "tst_textroundtrip.moc"
