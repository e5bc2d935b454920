#include "editor/documentkind.h"
#include "editor/richtextbox.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

// New, Open and Clear replace the document without a question; the undo key brings the
// replaced document back whole, and the redo key the replacement again.
class TestReplacedDocuments : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void undoBringsBackTheReplacedDocument_data();
    void undoBringsBackTheReplacedDocument();
    void oneHistoryAcrossReplacements();
    void aNewEditForgetsWhatRedoCouldBringBack();
    void aFailedOpenAddsNoStep();
    void keepsOnlyTheLatestReplacedDocuments();
    void theEditMenusUndoAndRedoReachAsFar();

private:
    void undo() { QTest::keyClick(&*m_box, Qt::Key_Z, Qt::ControlModifier); }
    void redo() { QTest::keyClick(&*m_box, Qt::Key_Y, Qt::ControlModifier); }
    bool boldAt(int position) const;

    QTemporaryDir m_folder;
    std::unique_ptr<RichTextBox> m_box;
};

void TestReplacedDocuments::init()
{
    m_box = std::make_unique<RichTextBox>();
    // "Dear" in bold, then " friend".
    m_box->setSelectionBold(true);
    QTest::keyClicks(&*m_box, "Dear");
    m_box->setSelectionBold(false);
    QTest::keyClicks(&*m_box, " friend");
}

bool TestReplacedDocuments::boldAt(int position) const
{
    QTextCursor cursor(m_box->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().fontWeight() >= QFont::Bold;
}

void TestReplacedDocuments::undoBringsBackTheReplacedDocument_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("replacement");

    QTest::newRow("new file or clear document") << QByteArray() << -1 << QString();
    QTest::newRow("open RTF") << QByteArray("{\\rtf1 {\\i Hello}\\par}") << int(DocumentKind::Rtf)
                              << QStringLiteral("Hello\n");
    QTest::newRow("open text") << QByteArray("plain words") << int(DocumentKind::PlainText)
                               << QStringLiteral("plain words");
}

void TestReplacedDocuments::undoBringsBackTheReplacedDocument()
{
    QFETCH(QByteArray, file);
    QFETCH(int, kind);
    QFETCH(QString, replacement);

    if (kind < 0) {
        m_box->replaceWithText(QString());
    } else {
        const QString path = m_folder.filePath(QStringLiteral("replacement"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();
        QVERIFY(m_box->loadFile(path, DocumentKind(kind)).ok());
    }
    QCOMPARE(m_box->toPlainText(), replacement);

    undo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
    QVERIFY(boldAt(0));
    QVERIFY(boldAt(3));
    QVERIFY(!boldAt(5));

    redo();
    QCOMPARE(m_box->toPlainText(), replacement);
    undo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
}

void TestReplacedDocuments::oneHistoryAcrossReplacements()
{
    m_box->replaceWithText(QString());
    QTest::keyClicks(&*m_box, "new");
    m_box->replaceWithText(QString());

    undo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("new"));
    // Into the earlier document's own steps, then past its start to the one before.
    while (!m_box->toPlainText().isEmpty())
        undo();
    undo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
    // Further back than the first document there is nothing; undo keeps going inside it.
    while (m_box->document()->isUndoAvailable())
        undo();
    QVERIFY(m_box->toPlainText().isEmpty());
    undo();
    QVERIFY(m_box->toPlainText().isEmpty());

    // And all the way forward again.
    for (int i = 0; i < 100 && m_box->toPlainText() != QStringLiteral("Dear friend"); ++i)
        redo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
    redo();
    QVERIFY(m_box->toPlainText().isEmpty());
    for (int i = 0; i < 100 && m_box->toPlainText() != QStringLiteral("new"); ++i)
        redo();
    QCOMPARE(m_box->toPlainText(), QStringLiteral("new"));
    redo();
    QVERIFY(m_box->toPlainText().isEmpty());
    redo();
    QVERIFY(m_box->toPlainText().isEmpty());
}

void TestReplacedDocuments::aNewEditForgetsWhatRedoCouldBringBack()
{
    m_box->replaceWithText(QStringLiteral("replacement"));
    undo();
    QTest::keyClicks(&*m_box, "!");
    const QString edited = m_box->toPlainText();
    redo();
    QCOMPARE(m_box->toPlainText(), edited);
}

void TestReplacedDocuments::aFailedOpenAddsNoStep()
{
    QVERIFY(!m_box->loadFile(m_folder.filePath(QStringLiteral("missing")), DocumentKind::Rtf).ok());
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
    // The undo key undoes the last typing, as it would have without the failed open.
    undo();
    QVERIFY(m_box->toPlainText() != QStringLiteral("Dear friend"));
    QVERIFY(m_box->toPlainText().startsWith(QStringLiteral("Dear")));
}

void TestReplacedDocuments::keepsOnlyTheLatestReplacedDocuments()
{
    const int replacements = int(ReplacedDocuments::Depth) + 3;
    for (int i = 1; i <= replacements; ++i)
        m_box->replaceWithText(QString::number(i));
    for (int i = 0; i < replacements + 5; ++i)
        undo();
    // The oldest are gone for good, so memory stays bounded however often a file is opened.
    QCOMPARE(m_box->toPlainText(), QString::number(replacements - int(ReplacedDocuments::Depth)));
}

void TestReplacedDocuments::theEditMenusUndoAndRedoReachAsFar()
{
    const auto choose = [this](const char *name) {
        std::unique_ptr<QMenu> menu(m_box->createContextMenu(QPoint()));
        QAction *action = menu->findChild<QAction *>(QLatin1String(name));
        QVERIFY(action);
        QVERIFY(action->isEnabled());
        action->trigger();
    };
    m_box->replaceWithText(QString());
    choose("edit-undo");
    QCOMPARE(m_box->toPlainText(), QStringLiteral("Dear friend"));
    choose("edit-redo");
    QVERIFY(m_box->toPlainText().isEmpty());
}

QTEST_MAIN(TestReplacedDocuments)
#include "tst_replaceddocuments.moc"
