#include "app/formregistry.h"
#include "editor/commondialog.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "support/mainwindowonly.h"
#include "support/lockfolder.h"
#include "support/modaldriver.h"
#include "commands/commandtable.h"
#include "toolbar/imagelist.h"
#include "toolbar/toolbar.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestToolbar : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buttonsInOrderWithTheirPictures();
    void picturesAreMasked();
    void everyButtonPassesOverFailures();
    void stylesAreSetNeverToggled();
    void keysMatchExactly();
    void openAndSaveUseTheirOwnFilters();
    void failuresAreSilent();
    void propertiesAndHelpShowOneWindowEach();

private:
    QAction *button(const char *key) const;
    void press(const char *key) { button(key)->trigger(); }
    bool noMessageShown() const;

    std::unique_ptr<FormRegistry> m_registry;
    MainWindow *m_window = nullptr;
    RichTextBox *m_box = nullptr;
};

void TestToolbar::init()
{
    m_registry = std::make_unique<FormRegistry>(mainWindowOnly());
    m_window = static_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    m_box = m_window->textBox();
}

void TestToolbar::cleanup()
{
    m_registry.reset();
}

QAction *TestToolbar::button(const char *key) const
{
    for (QAction *action : m_window->toolbar()->actions()) {
        if (action->data().toString() == QLatin1String(key))
            return action;
    }
    qFatal("no toolbar button %s", key);
}

void TestToolbar::buttonsInOrderWithTheirPictures()
{
    const QList<QAction *> actions = m_window->toolbar()->actions();
    const QStringList keys{"New", "Open", "Save", "Paste", "uni", "Italic", "unbold1", "Bold",
                           "ununderline", "Underline", "Properties", "Help"};
    QCOMPARE(actions.size(), keys.size());
    int left = -1;
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actions[i];
        QCOMPARE(action->data().toString(), keys[i]);
        QVERIFY(!action->isSeparator() && !action->isCheckable());
        QVERIFY(action->text().isEmpty());
        const bool silent = keys[i] == "uni" || keys[i] == "unbold1" || keys[i] == "ununderline";
        QCOMPARE(action->toolTip(), silent ? QString() : keys[i]);
        QVERIFY(action->icon().availableSizes().contains(QSize(16, 16)));

        QWidget *widget = m_window->toolbar()->widgetForAction(action);
        QCOMPARE(widget->size(), QSize(23, 22));
        QVERIFY(widget->x() > left);
        left = widget->x();
    }
    const QStringList pictures{"Open", "Save", "Paste", "New", "Italic", "Double Underline", "Bold",
                               "Underline", "Properties", "Help", "unbold", "Align Left", "Align Right",
                               "Center", "uni", "ununderline", "undoubleunderline1", "unbold1", "font"};
    QCOMPARE(m_window->pictures()->keys(), pictures);
    QCOMPARE(m_window->pictures()->objectName(), QStringLiteral("imlToolbarIcons"));
    for (const QString &key : pictures)
        QCOMPARE(m_window->pictures()->picture(key).size(), QSize(16, 16));
}

void TestToolbar::picturesAreMasked()
{
    const ImageList &pictures = *m_window->pictures();
    // A drawing on silver: its corner is transparent.
    QCOMPARE(pictures.picture("Bold").toImage().pixelColor(0, 0).alpha(), 0);
    // A raised tile keeps its grey-beige face.
    const QImage tile = pictures.picture("uni").toImage();
    bool faceShows = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            faceShows |= tile.pixelColor(x, y) == QColor(208, 207, 192);
    QVERIFY(faceShows);
    QVERIFY(tile.pixelColor(0, 0).alpha() == 255);
}

void TestToolbar::everyButtonPassesOverFailures()
{
    // The toolbar's silence is its rows' own, not something its dispatch adds.
    for (Command id : toolbarButtons())
        QCOMPARE(commandRow(id).onFailure, OnFailure::PassOver);
}

void TestToolbar::stylesAreSetNeverToggled()
{
    m_box->replaceWithText("abc");
    m_box->selectAll();
    press("Bold");
    press("Bold");
    press("Italic");
    press("Underline");
    QTextCharFormat format = formatAt(m_box->document(), 1);
    QCOMPARE(format.fontWeight(), int(QFont::Bold));
    QVERIFY(format.fontItalic() && format.fontUnderline());
    for (QAction *action : m_window->toolbar()->actions())
        QVERIFY(!action->isChecked());
    // The toolbar changes no menu check mark.
    QVERIFY(!m_window->menuItems().item("mnuboldtrue")->isChecked());

    press("unbold1");
    press("uni");
    press("ununderline");
    format = formatAt(m_box->document(), 1);
    QVERIFY(format.fontWeight() != QFont::Bold);
    QVERIFY(!format.fontItalic() && !format.fontUnderline());

    // With nothing selected, the text typed next gets the style.
    m_box->moveCursor(QTextCursor::End);
    press("Bold");
    QTest::keyClicks(m_box, "d");
    QCOMPARE(formatAt(m_box->document(), 3).fontWeight(), int(QFont::Bold));

    press("New");
    QVERIFY(m_box->document()->isEmpty());
}

void TestToolbar::keysMatchExactly()
{
    m_box->replaceWithText("abc");
    m_box->selectAll();
    for (const char *key : {"bold", "Bold ", " Bold", "BOLD", "font", "", "New\n"})
        dispatchToolbarKey(QString::fromLatin1(key), m_window->commandTargets());
    QCOMPARE(m_box->toPlainText(), QStringLiteral("abc"));
    QVERIFY(formatAt(m_box->document(), 1).fontWeight() != QFont::Bold);
}

void TestToolbar::openAndSaveUseTheirOwnFilters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.rtf");
    m_box->replaceWithText("toolbar text");

    QStringList shown;
    chooseInNextFileDialog(path, &shown);
    press("Save");
    QCOMPARE(shown, QStringList{"RTF files (*.RTF)"});
    QVERIFY(QFile::exists(path));

    m_box->replaceWithText("replaced");
    chooseInNextFileDialog(path, &shown);
    press("Open");
    QCOMPARE(shown, QStringList{"RTF file (*.RTF)"});
    QVERIFY(m_box->toPlainText().contains("toolbar text"));

    // Cancelled: nothing loaded, nothing saved, no message.
    m_box->replaceWithText("kept");
    cancelNextFileDialog();
    press("Open");
    cancelNextFileDialog();
    press("Save");
    QCOMPARE(m_box->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved.rtf"});
}

bool TestToolbar::noMessageShown() const
{
    return !QApplication::activeModalWidget() && !m_window->findChild<QMessageBox *>();
}

void TestToolbar::failuresAreSilent()
{
    QTemporaryDir dir;
    m_box->replaceWithText("my work");

    // A file that cannot be read as RTF.
    const QString notRtf = dir.filePath("words.rtf");
    QFile file(notRtf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just words");
    file.close();
    chooseInNextFileDialog(notRtf);
    press("Open");
    QCOMPARE(m_box->toPlainText(), QStringLiteral("my work"));
    QVERIFY(noMessageShown());

    // A place that cannot be written: the folder is locked once the name is chosen.
    const QString locked = dir.filePath("locked");
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    bool lockedIt = false;
    answerNextModal<QFileDialog>([&](QFileDialog *dialog) {
        dialog->selectFile(locked + "/new.rtf");
        lockedIt = lockFolder(locked, true);
        static_cast<QDialog *>(dialog)->accept();
    });
    press("Save");
    lockFolder(locked, false);
    if (lockedIt)
        QVERIFY(QDir(locked).isEmpty());
    QVERIFY(noMessageShown());

    // A clipboard that cannot be read: the selection stays.
    m_box->selectAll();
    m_window->commandTargets().clipboard = [] () -> Result<QString> {
        return Error{ErrorNumber::ClipboardUnavailable, "busy"};
    };
    press("Paste");
    QCOMPARE(m_box->toPlainText(), QStringLiteral("my work"));
    QVERIFY(m_box->textCursor().hasSelection());

    m_window->commandTargets().clipboard = [] () -> Result<QString> { return QStringLiteral("pasted"); };
    press("Paste");
    QCOMPARE(m_box->toPlainText(), QStringLiteral("pasted"));
}

void TestToolbar::propertiesAndHelpShowOneWindowEach()
{
    press("Properties");
    QWidget *options = m_registry->form(FormKind::Options);
    QVERIFY(options && options->isVisible());
    press("Properties");
    QCOMPARE(m_registry->form(FormKind::Options), options);

    press("Help");
    QWidget *about = m_registry->form(FormKind::About);
    QVERIFY(about && about->isVisible());
    press("Help");
    QCOMPARE(m_registry->form(FormKind::About), about);
}

QTEST_MAIN(TestToolbar)
#include "tst_toolbar.moc"
