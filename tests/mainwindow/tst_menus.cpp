#include "app/formregistry.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/markonlystyle.h"
#include "mainwindow/menutable.h"
#include "support/mainwindowonly.h"
#include "support/modaldriver.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTest>

// Menus as a user meets them: their keys while open, and their marks under every style.
class TestMenus : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void shortcutsRunWhileAMenuIsOpen();
    void openingADialogFromAMenuClosesTheMenu();
    void exitWorksFromAnOpenMenu();
    void everyMenuDrawsMarksOnly();
    void unmarkedItemShowsNothingUnderEveryStyle_data();
    void unmarkedItemShowsNothingUnderEveryStyle();

private:
    // Opens the named top-level menu and the submenus after it, as the mouse would; the
    // last one has the keyboard.
    QMenu *openMenus(std::initializer_list<const char *> names);

    std::unique_ptr<FormRegistry> m_registry;
    MainWindow *m_window = nullptr;
};

void TestMenus::init()
{
    m_registry = std::make_unique<FormRegistry>(mainWindowOnly());
    m_window = static_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
}

void TestMenus::cleanup()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_registry.reset();
}

QMenu *TestMenus::openMenus(std::initializer_list<const char *> names)
{
    QMenu *menu = nullptr;
    for (const char *name : names) {
        QMenu *next = m_window->menuBar()->findChild<QMenu *>(QString::fromLatin1(name));
        if (menu)
            menu->setActiveAction(next->menuAction());
        else
            m_window->menuBar()->setActiveAction(next->menuAction());
        menu = next;
        if (!QTest::qWaitForWindowExposed(menu))
            return nullptr;
    }
    return menu;
}

void TestMenus::shortcutsRunWhileAMenuIsOpen()
{
    RichTextBox *box = m_window->textBox();
    box->setPlainText(QStringLiteral("one two"));

    QMenu *size = openMenus({"mnuformat", "menuformatsize"});
    QVERIFY(size);
    QCOMPARE(QApplication::activePopupWidget(), size);
    QTest::keyClick(size, Qt::Key_A, Qt::ControlModifier);
    QTRY_COMPARE(box->textCursor().selectedText(), QStringLiteral("one two"));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);

    QMenu *help = openMenus({"mnuhelp"});
    QVERIFY(help);
    QTest::keyClick(help, Qt::Key_K, Qt::ControlModifier);
    QTRY_VERIFY(m_registry->form(FormKind::About));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(box->toPlainText(), QStringLiteral("one two"));

    // Keys that belong to no item keep their meaning in the menu.
    QMenu *file = openMenus({"mnufile"});
    QVERIFY(file);
    QTest::keyClick(file, Qt::Key_Down);
    QCOMPARE(QApplication::activePopupWidget(), file);
}

void TestMenus::openingADialogFromAMenuClosesTheMenu()
{
    QMenu *help = openMenus({"mnuhelp"});
    QVERIFY(help);
    QStringList filters;
    cancelNextFileDialog(&filters);
    QTest::keyClick(help, Qt::Key_O, Qt::ControlModifier);
    QTRY_VERIFY(!filters.isEmpty());
    QCOMPARE(filters, QStringList{QStringLiteral("RTF files (*.RTF)")});
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

void TestMenus::exitWorksFromAnOpenMenu()
{
    m_registry->showForm(FormKind::About);
    QMenu *bold = openMenus({"mnuformat", "mnustyle", "mnustylebold"});
    QVERIFY(bold);
    QTest::keyClick(bold, Qt::Key_Q, Qt::ControlModifier);
    QTRY_COMPARE(m_registry->form(FormKind::Main), nullptr);
    QCOMPARE(m_registry->form(FormKind::About), nullptr);
}

void TestMenus::everyMenuDrawsMarksOnly()
{
    int menus = 0;
    for (const MenuRow &row : menuRows()) {
        if (row.role != MenuItemRole::Submenu)
            continue;
        const QMenu *menu = m_window->menuItems().item(row.name)->menu();
        QVERIFY(menu);
        QVERIFY2(qobject_cast<MarkOnlyStyle *>(menu->style()), row.name.data());
        ++menus;
    }
    QVERIFY(menus > 0);
}

void TestMenus::unmarkedItemShowsNothingUnderEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &key : QStyleFactory::keys())
        QTest::newRow(qPrintable(key)) << key;
}

namespace {

QImage drawnItem(const QStyle &style, QStyleOptionMenuItem::CheckType type, bool checked)
{
    QImage image(160, 24, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QStyleOptionMenuItem option;
    option.rect = image.rect();
    option.palette = style.standardPalette();
    option.state = QStyle::State_Enabled;
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.menuHasCheckableItems = true;
    option.checkType = type;
    option.checked = checked;
    option.text = QStringLiteral("Bold");
    option.maxIconWidth = 16;
    option.reservedShortcutWidth = 0;
    QPainter painter(&image);
    style.drawControl(QStyle::CE_MenuItem, &option, &painter);
    return image;
}

} // namespace

void TestMenus::unmarkedItemShowsNothingUnderEveryStyle()
{
    QFETCH(QString, style);
    const MarkOnlyStyle marks(QStyleFactory::create(style));
    const QImage plain = drawnItem(marks, QStyleOptionMenuItem::NotCheckable, false);
    QCOMPARE(drawnItem(marks, QStyleOptionMenuItem::NonExclusive, false), plain);
    QVERIFY(drawnItem(marks, QStyleOptionMenuItem::NonExclusive, true) != plain);
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
