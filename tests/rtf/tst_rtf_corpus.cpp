#include "corpusfiles.h"
#include "documentdump.h"

#include <QDir>
#include <QTest>

namespace {

using rtftest::corpusDir;
using rtftest::readFile;

bool startsAsRtf(const QByteArray &bytes)
{
    QByteArray s = bytes;
    if (s.startsWith("\xEF\xBB\xBF"))
        s.remove(0, 3);
    s = s.trimmed();
    if (!s.startsWith('{'))
        return false;
    return s.mid(1).trimmed().startsWith("\\rtf");
}

// Trailing blank lines depend on whether a producer ends with \par; they are not content.
QString withoutTrailingBlankLines(QString s)
{
    while (s.endsWith(u'\n'))
        s.chop(1);
    return s;
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFileLoads();
    void codePageFiles_data();
    void codePageFiles();
    void roundTrip_data();
    void roundTrip();
};

void TestRtfCorpus::initTestCase()
{
    if (corpusDir().isEmpty() || !QDir(corpusDir() + "/files").exists())
        QSKIP("BREVON_CORPUS_DIR does not point at the RTF corpus");
}

void TestRtfCorpus::everyFileLoads()
{
    const QDir dir(corpusDir() + "/files");
    int loaded = 0;
    int rejected = 0;
    for (const QString &name : dir.entryList(QDir::Files)) {
        const QByteArray bytes = readFile(dir.filePath(name));
        QTextDocument document;
        const auto error = rtf::read(bytes, document);
        if (error) {
            // Only what is not RTF at all may fail, and it must say so.
            QVERIFY2(!startsAsRtf(bytes), qPrintable(name));
            QVERIFY2(error->description.contains(QLatin1String("invalid file format")), qPrintable(name));
            ++rejected;
        } else {
            QVERIFY2(startsAsRtf(bytes), qPrintable(name));
            ++loaded;
        }
    }
    qInfo("%d files loaded, %d rejected as not RTF", loaded, rejected);
    QVERIFY(loaded > 300);
}

void TestRtfCorpus::codePageFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    const QDir expectedDir(corpusDir() + "/synthetic-expected");
    for (const QString &name : expectedDir.entryList({"*.expected.txt"}, QDir::Files)) {
        const QString rtfName = name.chopped(int(strlen(".expected.txt")));
        QTest::newRow(qPrintable(rtfName)) << corpusDir() + "/files/" + rtfName
                                           << QString::fromUtf8(readFile(expectedDir.filePath(name)));
    }
}

void TestRtfCorpus::codePageFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(withoutTrailingBlankLines(rtftest::readText(readFile(file))), withoutTrailingBlankLines(expected));
}

void TestRtfCorpus::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    const QDir dir(corpusDir() + "/files");
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (startsAsRtf(readFile(dir.filePath(name))))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
}

void TestRtfCorpus::roundTrip()
{
    QFETCH(QString, file);
    // Text before the font table is read before any typeface is known, and saved after
    // the table, where it has the default one.
    for (const char *name : {"rtfparser-rs__RTF-test.rtf", "striprtf__issue_55.rtf"}) {
        if (file.endsWith(QLatin1String(name)))
            QSKIP("text stands before the font table");
    }
    QTextDocument first;
    QVERIFY(!rtf::read(readFile(file), first));
    const QByteArray written = rtf::write(first);
    QTextDocument second;
    QVERIFY(!rtf::read(written, second));
    QCOMPARE(rtftest::dump(second, true), rtftest::dump(first, true));
    // Writing what was read back gives the same bytes: nothing drifts over repeated saves.
    QCOMPARE(rtf::write(second), written);
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtf_corpus.moc"
