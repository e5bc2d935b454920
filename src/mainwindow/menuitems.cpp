#include "mainwindow/menuitems.h"

#include "mainwindow/markonlystyle.h"
#include "mainwindow/menushortcuts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QString qstring(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

MenuItems::MenuItems(QMenuBar *bar, std::span<const MenuRow> rows)
{
    // menus[level - 1] is the menu that items of `level + 1` go into.
    QList<QMenu *> menus;
    auto *shortcuts = new MenuShortcuts(bar);
    auto *style = new MarkOnlyStyle;
    for (const MenuRow &row : rows) {
        const QString name = qstring(row.name);
        const QString caption = qstring(row.caption);
        Q_ASSERT(row.level >= 1 && row.level <= menus.size() + 1);
        menus.resize(row.level - 1);

        QAction *action = nullptr;
        if (row.role == MenuItemRole::Submenu) {
            QMenu *menu = row.level == 1 ? bar->addMenu(caption) : menus.back()->addMenu(caption);
            menu->setObjectName(name);
            shortcuts->watch(menu);
            menu->setStyle(style);
            action = menu->menuAction();
            menus.append(menu);
        } else {
            action = menus.back()->addAction(caption);
        }
        action->setObjectName(name);
        action->setEnabled(row.enabled);
        action->setCheckable(row.checkable);
        if (!row.shortcut.empty()) {
            const QKeySequence shortcut(qstring(row.shortcut));
            action->setShortcut(shortcut);
            // The menu's keys win over the focused control's own use of them.
            action->setShortcutContext(Qt::WindowShortcut);
            m_shortcuts.append(shortcut);
            shortcuts->add(shortcut, action);
        }
        m_items.insert(name, action);
        if (row.role == MenuItemRole::Command)
            m_commands.insert(row.command, action);
    }
    // After the menus, so that it goes after them too.
    style->setParent(bar);
}

QAction *MenuItems::item(std::string_view name) const
{
    QAction *action = m_items.value(qstring(name));
    if (!action)
        qFatal("no menu item named %.*s", int(name.size()), name.data());
    return action;
}

QAction *MenuItems::item(Command command) const
{
    QAction *action = m_commands.value(command);
    if (!action)
        qFatal("no menu item runs command %d", int(command));
    return action;
}

bool MenuItems::isBound(std::string_view name) const
{
    return m_bound.contains(qstring(name));
}

void MenuItems::bind(Command item, QObject *context, std::function<void()> command)
{
    QAction *action = this->item(item);
    m_bound.insert(action->objectName());
    QObject::connect(action, &QAction::triggered, context, [action, command = std::move(command)] {
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        command();
    });
}
