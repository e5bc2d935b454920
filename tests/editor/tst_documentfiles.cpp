#include "editor/documentfile.h"
#include "support/lockfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDocumentFiles : public QObject
{
    Q_OBJECT
private slots:
    void readFailuresNameTheFile();
    void writeReplacesAtomically();
    void failedWriteLeavesEverythingAsItWas();
};

void TestDocumentFiles::readFailuresNameTheFile()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.rtf");
    Result<QByteArray> read = DocumentFile::read(missing);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().number, ErrorNumber::FileNotFound);
    QVERIFY(read.error().description.contains(missing));

    QCOMPARE(DocumentFile::read(QString()).error().number, ErrorNumber::FileNotFound);
    QCOMPARE(DocumentFile::read(dir.path()).error().number, ErrorNumber::FileAccess);
    QCOMPARE(DocumentFile::read(dir.filePath("no/such/folder.rtf")).ok(), false);
}

void TestDocumentFiles::writeReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc"); // no extension is added
    QVERIFY(DocumentFile::write(path, "first").ok());
    QVERIFY(DocumentFile::write(path, "second").ok());
    QCOMPARE(contents(path), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc"});
}

void TestDocumentFiles::failedWriteLeavesEverythingAsItWas()
{
    QTemporaryDir dir;
    // A folder where the file should go.
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    Status status = DocumentFile::write(dir.filePath("folder"), "x");
    QVERIFY(!status.ok());
    QVERIFY(status.error().description.contains("folder"));

    QCOMPARE(DocumentFile::write(QString(), "x").ok(), false);
    QCOMPARE(DocumentFile::write(dir.filePath("no/such/folder/x.rtf"), "x").error().number,
             ErrorNumber::PathNotFound);

    // A folder in which no new file can be made: the temporary file cannot be created,
    // so the existing document must stay as it was.
    const QString locked = dir.filePath("locked");
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    const QString existing = locked + "/kept.rtf";
    QVERIFY(DocumentFile::write(existing, "original").ok());
    if (!lockFolder(locked, true))
        QSKIP("cannot make a folder read-only here");
    status = DocumentFile::write(existing, "replacement");
    lockFolder(locked, false);
    QVERIFY(!status.ok());
    QVERIFY(status.error().description.contains(existing));
    QCOMPARE(contents(existing), QByteArray("original"));
    QCOMPARE(QDir(locked).entryList(QDir::Files), QStringList{"kept.rtf"});
}

QTEST_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
