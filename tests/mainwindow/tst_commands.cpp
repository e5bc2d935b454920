#include "app/formregistry.h"
#include "editor/commondialog.h"
#include "editor/editcommands.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "support/mainwindowonly.h"
#include "support/modaldriver.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openAndSaveText();
    void cancelledDialogDoesNothing();
    void failedOpenIsReportedAndTheDocumentKept();
    void saveUsesTheNameAsTyped();
    void filtersListNamesInAnyCase();
    void newFileKeepsColourAndMarks();

    void colourSizeAndTypefaceMarkExactlyTheChosenItem();
    void boldAndStrikethroughMarks();
    void formattingValues();

    void insertions();
    void pastePlainTextOnly_data();
    void pastePlainTextOnly();
    void unreadableClipboardChangesNothing();

private:
    void choose(const char *item) { m_window->menuItems().item(item)->trigger(); }
    QStringList marked(const QStringList &items) const;

    std::unique_ptr<FormRegistry> m_registry;
    MainWindow *m_window = nullptr;
    RichTextBox *m_box = nullptr;
    std::unique_ptr<QTemporaryDir> m_tempDir;
    QDir m_dir;
};

void TestCommands::init()
{
    m_registry = std::make_unique<FormRegistry>(mainWindowOnly());
    m_window = static_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    m_box = m_window->textBox();
    m_box->setFocus();
    m_tempDir = std::make_unique<QTemporaryDir>();
    m_dir.setPath(m_tempDir->path());
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestCommands::cleanup()
{
    m_registry.reset();
}

QStringList TestCommands::marked(const QStringList &items) const
{
    QStringList result;
    for (const QString &item : items) {
        if (m_window->menuItems().item(item.toStdString())->isChecked())
            result << item;
    }
    return result;
}

void TestCommands::openAndSaveText()
{
    const QString path = m_dir.filePath("in.txt");
    writeFile(path, "{\\rtf1 \\b not bold}\r\nline two");

    QStringList filters;
    chooseInNextFileDialog(path, &filters);
    choose("mnufileopentext");
    QCOMPARE(filters, QStringList{"Text files (*.TXT)"});
    QCOMPARE(m_box->toPlainText(), QStringLiteral("{\\rtf1 \\b not bold}\nline two"));
    QCOMPARE(m_window->commonDialog()->fileName(), path);

    const QString out = m_dir.filePath("out.txt");
    chooseInNextFileDialog(out, &filters);
    choose("mnufilesaveastext");
    // Written back as it was read, line ends included.
    QCOMPARE(contents(out), QByteArray("{\\rtf1 \\b not bold}\r\nline two"));
    QCOMPARE(m_window->commonDialog()->filter(), QStringLiteral("Text files (*.TXT)|*.TXT"));

    // The open dialog after a save offers the open command's type.
    chooseInNextFileDialog(out, &filters);
    choose("mnufileopen");
    QCOMPARE(filters, QStringList{"RTF files (*.RTF)"});
}

void TestCommands::cancelledDialogDoesNothing()
{
    m_box->replaceWithText("unchanged");
    for (const char *item : {"mnufileopen", "mnufilesave", "mnufileopentext", "mnufilesaveastext"}) {
        cancelNextFileDialog();
        choose(item);
        QCOMPARE(m_box->toPlainText(), QStringLiteral("unchanged"));
        QVERIFY(!QApplication::activeModalWidget());
    }
    QVERIFY(m_window->commonDialog()->fileName().isEmpty());
    QVERIFY(m_dir.isEmpty());
}

void TestCommands::failedOpenIsReportedAndTheDocumentKept()
{
    const QString path = m_dir.filePath("words.rtf");
    writeFile(path, "not rtf at all");
    m_box->replaceWithText("my work");

    QString message;
    chooseInNextFileDialog(path);
    closeNextMessageBox(&message);
    choose("mnufileopen");
    QTRY_VERIFY(!message.isEmpty());
    QVERIFY(message.contains(QString::number(ErrorNumber::InvalidFileFormat)));
    QVERIFY(message.contains(path));
    QCOMPARE(m_box->toPlainText(), QStringLiteral("my work"));
    // The filter set before the failing step stays set.
    QCOMPARE(m_window->commonDialog()->filter(), QStringLiteral("RTF files (*.RTF)|*.RTF"));
}

void TestCommands::saveUsesTheNameAsTyped()
{
    m_box->replaceWithText("text");
    const QString path = m_dir.filePath("noextension");
    chooseInNextFileDialog(path);
    choose("mnufilesave");
    QVERIFY(QFile::exists(path));
    QVERIFY(contents(path).startsWith("{\\rtf"));

    // Ctrl+S replaces the existing file.
    m_box->replaceWithText("newer");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    chooseInNextFileDialog(path);
    QTest::keyClick(m_box, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(contents(path).contains("newer"));
    QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files), QStringList{"noextension"});
}

void TestCommands::filtersListNamesInAnyCase()
{
    for (const char *name : {"a.rtf", "B.RTF", "c.Rtf", "d.txt"})
        writeFile(m_dir.filePath(name), "{\\rtf1 x}");

    QStringList listed;
    answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
        dialog->setDirectory(m_tempDir->path());
        auto *view = dialog->findChild<QAbstractItemView *>("listView");
        // The file model fills in the background; the dialog is closed whatever it shows,
        // and the comparison below judges the listing.
        (void)QTest::qWaitFor([view] { return view->model()->rowCount(view->rootIndex()) >= 3; });
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            listed << view->model()->index(row, 0, root).data().toString();
        dialog->reject();
    });
    choose("mnufileopen");
    listed.sort();
    QCOMPARE(listed, (QStringList{"B.RTF", "a.rtf", "c.Rtf"}));
}

void TestCommands::newFileKeepsColourAndMarks()
{
    m_box->replaceWithText("something");
    m_box->setBackColor(Qt::yellow);
    choose("mnucolorred");
    choose("mnufilenew");
    QVERIFY(m_box->document()->isEmpty());
    QCOMPARE(m_box->backColor(), QColor(Qt::yellow));
    QCOMPARE(marked({"mnucolorred"}), QStringList{"mnucolorred"});
    m_box->replaceWithText("again");
    choose("mnucleardoc");
    QVERIFY(m_box->document()->isEmpty());
    QCOMPARE(m_box->backColor(), QColor(Qt::yellow));
}

void TestCommands::colourSizeAndTypefaceMarkExactlyTheChosenItem()
{
    for (const char *submenu : {"mnuformatcolor", "menuformatsize", "mnuformatfont"}) {
        QStringList set;
        for (const QAction *action : m_window->menuItems().item(submenu)->menu()->actions())
            set << action->objectName();
        QVERIFY(set.size() >= 3);
        for (const QString &item : set) {
            for (int twice = 0; twice < 2; ++twice) { // choosing it again changes no mark
                choose(item.toLatin1());
                QCOMPARE(marked(set), QStringList{item});
            }
        }
    }
}

void TestCommands::boldAndStrikethroughMarks()
{
    const QStringList bold{"mnuboldtrue", "mnuboldfalse"};
    const QStringList strike{"mnustriketrue", "mnustrikefalse"};
    choose("mnuboldtrue");
    QCOMPARE(marked(bold), QStringList{"mnuboldtrue"});
    choose("mnuboldfalse");
    QCOMPARE(marked(bold), QStringList());

    choose("mnustrikefalse");
    choose("mnustriketrue");
    QCOMPARE(marked(strike), strike);
    choose("mnustrikefalse");
    QCOMPARE(marked(strike), QStringList{"mnustrikefalse"});
}

void TestCommands::formattingValues()
{
    m_box->replaceWithText("abc");
    m_box->selectAll();
    choose("mnucolorred");
    choose("mnuformatsize60");
    choose("mnuformatfontCenturyGothic");
    choose("mnuboldtrue");
    choose("mnustriketrue");
    QTextCharFormat format = formatAt(m_box->document(), 1);
    QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(format.fontPointSize(), 30.0);
    QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Century Gothic"});
    QCOMPARE(format.fontWeight(), int(QFont::Bold));
    QVERIFY(format.fontStrikeOut());

    choose("mnuformatsize70");
    choose("mnuformatfontarialblack");
    format = formatAt(m_box->document(), 1);
    QCOMPARE(format.fontPointSize(), 70.0);
    QCOMPARE(format.fontFamilies().toStringList(), QStringList{"arial black"});

    // Moving the caret into other text changes no mark.
    m_box->moveCursor(QTextCursor::End);
    choose("mnucolorblue");
    QTest::keyClicks(m_box, "d");
    QCOMPARE(formatAt(m_box->document(), 3).foreground().color(), QColor(0, 0, 255));
    m_box->moveCursor(QTextCursor::Start);
    QCOMPARE(marked({"mnucolorred", "mnucolorblue"}), QStringList{"mnucolorblue"});

    // No alignment or bullet item ever shows a mark.
    for (const char *item : {"left", "right", "center", "on", "off"}) {
        choose(item);
        QVERIFY(!m_window->menuItems().item(item)->isChecked());
    }
}

void TestCommands::insertions()
{
    const struct { const char *item; const char *text; } rows[] = {
        {"mnuautotextdear", "Dear"}, {"mnuautotexthello", "Hello"}, {"mnuautowelcome", "Welcome"},
        {"hi", "Hi"}, {"return", "Return"}, {"mnuinsertdate", "00/00/2002"},
    };
    for (const auto &row : rows) {
        m_box->replaceWithText("[x]");
        QTextCursor cursor(m_box->document());
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        m_box->setTextCursor(cursor);
        choose(row.item);
        QCOMPARE(m_box->toPlainText(), QStringLiteral("[%1]").arg(row.text));
        choose(row.item);
        QCOMPARE(m_box->toPlainText(), QStringLiteral("[%1%1]").arg(row.text));
    }
}

void TestCommands::pastePlainTextOnly_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hasImage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QString() << "pasted" << false << "[pasted]";
    QTest::newRow("formatted") << "<b>bold</b>" << "bold" << false << "[bold]";
    QTest::newRow("empty") << QString() << QString() << false << "[]";
    QTest::newRow("image only") << QString() << QString() << true << "[]";
}

void TestCommands::pastePlainTextOnly()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(bool, hasImage);
    QFETCH(QString, expected);

    auto *data = new QMimeData;
    if (!html.isEmpty())
        data->setHtml(html);
    if (!text.isEmpty())
        data->setText(text);
    if (hasImage) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data);

    m_box->replaceWithText("[sel]");
    QTextCursor cursor(m_box->document());
    cursor.setPosition(1);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    m_box->setTextCursor(cursor);
    QTest::keyClick(m_box, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(m_box->toPlainText(), expected);
    QVERIFY(formatAt(m_box->document(), 1).fontWeight() != QFont::Bold);
}

void TestCommands::unreadableClipboardChangesNothing()
{
    m_box->replaceWithText("[sel]");
    m_box->selectAll();
    const ClipboardReader broken = [] () -> Result<QString> {
        return Error{ErrorNumber::ClipboardUnavailable, "Can't open the clipboard"};
    };
    const Status status = runSteps(pasteSteps(*m_box, broken));
    QCOMPARE(status.ok(), false);
    QCOMPARE(status.error().number, ErrorNumber::ClipboardUnavailable);
    QCOMPARE(m_box->toPlainText(), QStringLiteral("[sel]"));
    QVERIFY(m_box->textCursor().hasSelection());
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
