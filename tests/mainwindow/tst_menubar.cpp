#include "app/formregistry.h"
#include "commands/commandtable.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "support/mainwindowonly.h"
#include "mainwindow/menutable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>

namespace {

QString qstring(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

class TestMenuBar : public QObject
{
    Q_OBJECT
private slots:
    void tableHasTheWholeTree();
    void menuBarFollowsTheTable();
    void everyCommandItemIsBound();
    void checkMarksAreOnlyWhatCommandsSet();
    void menuReportsFailuresToolbarPassesThemOver();
};

void TestMenuBar::tableHasTheWholeTree()
{
    const auto rows = menuRows();
    QCOMPARE(rows.size(), 66u);
    int submenus = 0, commands = 0, nothing = 0;
    QSet<QString> names, shortcuts;
    int previousLevel = 0;
    for (const MenuRow &row : rows) {
        QVERIFY2(row.level <= previousLevel + 1, row.name.data());
        previousLevel = row.level;
        QVERIFY2(!names.contains(qstring(row.name)), row.name.data());
        names.insert(qstring(row.name));
        QVERIFY2(!row.caption.empty() && row.caption.find('&') == std::string_view::npos, row.name.data());
        if (!row.shortcut.empty()) {
            QVERIFY2(!shortcuts.contains(qstring(row.shortcut)), row.shortcut.data());
            shortcuts.insert(qstring(row.shortcut));
        }
        submenus += row.role == MenuItemRole::Submenu;
        commands += row.role == MenuItemRole::Command;
        nothing += row.role == MenuItemRole::Nothing;
    }
    // "Select all" runs a command of ours; the divider and "Background color" run nothing.
    QCOMPARE(submenus, 16);
    QCOMPARE(commands, 48);
    QCOMPARE(nothing, 2);
    QCOMPARE(shortcuts, (QSet<QString>{"Ctrl+O", "Ctrl+S", "Ctrl+B", "Ctrl+I", "Ctrl+Q", "Ctrl+P",
                                       "Ctrl+A", "Ctrl+K"}));
}

void TestMenuBar::menuBarFollowsTheTable()
{
    FormRegistry registry(mainWindowOnly());
    auto *window = static_cast<MainWindow *>(registry.showForm(FormKind::Main));

    // Walk the built menus depth first and compare with the table row by row.
    QList<QAction *> walked;
    std::function<void(const QList<QAction *> &)> walk = [&](const QList<QAction *> &actions) {
        for (QAction *action : actions) {
            walked.append(action);
            if (action->menu())
                walk(action->menu()->actions());
        }
    };
    walk(window->menuBar()->actions());

    const auto rows = menuRows();
    QCOMPARE(walked.size(), qsizetype(rows.size()));
    for (qsizetype i = 0; i < walked.size(); ++i) {
        const MenuRow &row = rows[i];
        QAction *action = walked[i];
        QCOMPARE(action->objectName(), qstring(row.name));
        QCOMPARE(action->text(), qstring(row.caption));
        QCOMPARE(action->shortcut(), QKeySequence(qstring(row.shortcut)));
        QCOMPARE(action->isEnabled(), row.enabled);
        QCOMPARE(action->isSeparator(), false);
        QCOMPARE(action->menu() != nullptr, row.role == MenuItemRole::Submenu);
        QCOMPARE(action->isChecked(), false);
        QVERIFY(action->isVisible());
    }
    QCOMPARE(window->menuItems().item("mnufiledivider")->text(), QString(45, QLatin1Char('-')));
}

void TestMenuBar::everyCommandItemIsBound()
{
    FormRegistry registry(mainWindowOnly());
    auto *window = static_cast<MainWindow *>(registry.showForm(FormKind::Main));
    for (const MenuRow &row : menuRows()) {
        QVERIFY2(window->menuItems().isBound(row.name) == (row.role == MenuItemRole::Command),
                 row.name.data());
    }
}

void TestMenuBar::checkMarksAreOnlyWhatCommandsSet()
{
    FormRegistry registry(mainWindowOnly());
    auto *window = static_cast<MainWindow *>(registry.showForm(FormKind::Main));
    const MenuItems &items = window->menuItems();

    // The toolkit would tick a checkable item on its own when it is chosen; Bold "False"
    // clears its own mark, so it must never show one.
    items.item("mnuboldfalse")->trigger();
    QVERIFY(!items.item("mnuboldfalse")->isChecked());
    items.item("mnuboldfalse")->trigger();
    QVERIFY(!items.item("mnuboldfalse")->isChecked());

    // Choosing an item that is already marked leaves it marked.
    items.item("mnustriketrue")->trigger();
    items.item("mnustriketrue")->trigger();
    QVERIFY(items.item("mnustriketrue")->isChecked());
}

void TestMenuBar::menuReportsFailuresToolbarPassesThemOver()
{
    QSet<QString> names;
    for (const CommandRow &row : commandRows()) {
        QVERIFY2(!names.contains(qstring(row.name)), row.name.data());
        names.insert(qstring(row.name));
        // A command with a picture is a toolbar button, and only those stay silent.
        QCOMPARE(row.onFailure == OnFailure::PassOver, !row.picture.empty());
    }
    for (const MenuRow &row : menuRows()) {
        if (row.role == MenuItemRole::Command)
            QCOMPARE(commandRow(row.command).onFailure, OnFailure::Report);
    }
}

QTEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"
