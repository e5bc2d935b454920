#include "app/formregistry.h"
#include "editor/commondialog.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "support/mainwindowonly.h"
#include "support/modaldriver.h"

#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsFromItsDesign();
    void editingAreaKeepsItsSizeWhenTheWindowGrows();
    void menuShortcutsWinOverTheEditingArea_data();
    void menuShortcutsWinOverTheEditingArea();
    void windowCommands();
    void exitClosesEverything();

private:
    std::unique_ptr<FormRegistry> m_registry;
    MainWindow *m_window = nullptr;
};

void TestMainWindow::init()
{
    m_registry = std::make_unique<FormRegistry>(mainWindowOnly());
    m_window = static_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMainWindow::cleanup()
{
    m_registry.reset();
}

void TestMainWindow::startsFromItsDesign()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmmain"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Brevon"));
    QVERIFY(!m_window->windowIcon().isNull());
    QVERIFY(!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));

    // The area below the menu bar: 837 x 671 with its corner at 54, 80 on the screen.
    const int menuHeight = m_window->menuBar()->height();
    const QPoint clientCorner = m_window->mapToGlobal(QPoint(0, menuHeight));
    QCOMPARE(clientCorner, QPoint(54, 80));
    QCOMPARE(m_window->width(), 837);
    QCOMPARE(m_window->height() - menuHeight, 671);

    QToolBar *toolbar = m_window->toolbar();
    QCOMPARE(toolbar->objectName(), QStringLiteral("Toolbar1"));
    QCOMPARE(QRect(toolbar->mapTo(m_window, QPoint(0, 0)), toolbar->size()), QRect(0, menuHeight, 837, 28));

    RichTextBox *box = m_window->textBox();
    QCOMPARE(box->objectName(), QStringLiteral("txtbox"));
    QCOMPARE(box->size(), QSize(1144, 777));
    QCOMPARE(box->mapTo(m_window, QPoint(0, 0)), QPoint(0, menuHeight + 32));
    QVERIFY(box->document()->isEmpty());
    QCOMPARE(m_window->commonDialog()->objectName(), QStringLiteral("CommonDialog1"));
    QVERIFY(m_window->commonDialog()->fileName().isEmpty());
}

void TestMainWindow::editingAreaKeepsItsSizeWhenTheWindowGrows()
{
    m_window->resize(1400, 1000);
    QTRY_COMPARE(m_window->toolbar()->width(), 1400);
    QCOMPARE(m_window->textBox()->size(), QSize(1144, 777));
    m_window->resize(400, 300);
    QTRY_COMPARE(m_window->toolbar()->width(), 400);
    QCOMPARE(m_window->textBox()->size(), QSize(1144, 777));
}

void TestMainWindow::menuShortcutsWinOverTheEditingArea_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("filter"); // the dialog the command shows, if any
    QTest::newRow("Ctrl+O opens RTF") << QKeyCombination(Qt::CTRL, Qt::Key_O) << "RTF files (*.RTF)";
    QTest::newRow("Ctrl+S saves RTF") << QKeyCombination(Qt::CTRL, Qt::Key_S) << "RTF files (*.RTF)";
    QTest::newRow("Ctrl+B opens text, never bold") << QKeyCombination(Qt::CTRL, Qt::Key_B) << "Text files (*.TXT)";
    QTest::newRow("Ctrl+I saves text, never italic") << QKeyCombination(Qt::CTRL, Qt::Key_I) << "Text files (*.TXT)";
}

void TestMainWindow::menuShortcutsWinOverTheEditingArea()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, filter);

    RichTextBox *box = m_window->textBox();
    box->setFocus();
    QTest::keyClicks(box, "plain");
    box->selectAll();

    QStringList shown;
    cancelNextFileDialog(&shown);
    QTest::keyClick(box, key.key(), key.keyboardModifiers());
    QCOMPARE(shown, QStringList{filter});

    // The edit's own meaning of the key (bold, italic, ...) never ran.
    QCOMPARE(box->toPlainText(), QStringLiteral("plain"));
    const QTextCharFormat format = box->textCursor().charFormat();
    QVERIFY(format.fontWeight() != QFont::Bold);
    QVERIFY(!format.fontItalic());
}

void TestMainWindow::windowCommands()
{
    RichTextBox *box = m_window->textBox();
    box->setFocus();
    QTest::keyClicks(box, "one two");

    // Ctrl+A selects the whole document through the menu.
    box->moveCursor(QTextCursor::Start);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box->textCursor().selectedText(), QStringLiteral("one two"));

    // Ctrl+K shows the About window; the edit's delete-to-end-of-line never runs.
    box->moveCursor(QTextCursor::Start);
    QTest::keyClick(box, Qt::Key_K, Qt::ControlModifier);
    QVERIFY(m_registry->form(FormKind::About));
    QCOMPARE(box->toPlainText(), QStringLiteral("one two"));

    const MenuItems &items = m_window->menuItems();
    items.item("shortcut")->trigger();
    QWidget *shortcut = m_registry->form(FormKind::Shortcut);
    QVERIFY(shortcut);
    items.item("mnushortcut")->trigger();
    QCOMPARE(m_registry->form(FormKind::Shortcut), shortcut);
    items.item("mnutoolscalendars")->trigger();
    QVERIFY(m_registry->form(FormKind::Calendar));

    items.item("mnuviewmax")->trigger();
    QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    items.item("mnuviewmini")->trigger();
    QTRY_VERIFY(m_window->windowState() & Qt::WindowMinimized);
    QVERIFY(shortcut->isVisible());
}

void TestMainWindow::exitClosesEverything()
{
    m_registry->showForm(FormKind::About);
    m_registry->showForm(FormKind::Calendar);
    m_window->textBox()->setFocus();
    QTest::keyClick(m_window->textBox(), Qt::Key_Q, Qt::ControlModifier);
    for (int kind = 0; kind < FormKindCount; ++kind)
        QCOMPARE(m_registry->form(static_cast<FormKind>(kind)), nullptr);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
