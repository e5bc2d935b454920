#include "app/error.h"
#include "editor/richtextbox.h"
#include "editor/startupfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

// The file named on the command line: its content, not its name, says how it is read.
class TestStartupFile : public QObject
{
    Q_OBJECT
private slots:
    void rtfContentOpensAsRtfWhateverItsName();
    void otherContentOpensAsText();
    void missingFileFailsAndLeavesTheDocumentEmpty();

private:
    QString write(const char *name, const QByteArray &bytes);
    QTemporaryDir m_folder;
};

QString TestStartupFile::write(const char *name, const QByteArray &bytes)
{
    const QString path = m_folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestStartupFile::rtfContentOpensAsRtfWhateverItsName()
{
    RichTextBox box;
    const QString path = write("letter.txt", "{\\rtf1\\ansi {\\b Dear} friend\\par}");
    QVERIFY(runSteps(openStartupFileSteps(box, path)).ok());
    QVERIFY(box.toPlainText().startsWith(QStringLiteral("Dear friend")));
    QTextCursor cursor(box.document());
    cursor.setPosition(1);
    QVERIFY(cursor.charFormat().font().bold());
}

void TestStartupFile::otherContentOpensAsText()
{
    RichTextBox box;
    // Only the very start counts: a space before the brace makes it text.
    const QString path = write("notes.rtf", " {\\rtf1 not read as RTF}");
    QVERIFY(runSteps(openStartupFileSteps(box, path)).ok());
    QCOMPARE(box.toPlainText(), QStringLiteral(" {\\rtf1 not read as RTF}"));
}

void TestStartupFile::missingFileFailsAndLeavesTheDocumentEmpty()
{
    RichTextBox box;
    const Status status = runSteps(openStartupFileSteps(box, m_folder.filePath(QStringLiteral("gone.rtf"))));
    QVERIFY(!status.ok());
    QCOMPARE(status.error().number, ErrorNumber::FileNotFound);
    QVERIFY(box.document()->isEmpty());
}

QTEST_MAIN(TestStartupFile)
#include "tst_startupfile.moc"
