#pragma once

#include "mainwindow/menutable.h"

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class QAction;
class QMenuBar;
class QObject;

// The menu bar's items built from the table, reachable by name and by command.
class MenuItems
{
public:
    MenuItems() = default;
    // The shortcuts work also while a menu is open (MenuShortcuts), and an unmarked item
    // shows no check box whatever the style (MarkOnlyStyle).
    MenuItems(QMenuBar *bar, std::span<const MenuRow> rows);

    // The item of that name or command. Asking for one the menu bar lacks is a programming
    // error and ends the program, in every build type.
    QAction *item(std::string_view name) const;
    QAction *item(Command command) const;
    const QList<QKeySequence> &shortcuts() const { return m_shortcuts; }

    // Runs `command` each time the item is chosen. A checkable item shows exactly the
    // marks the command sets: the toolkit's own toggle on choosing is undone first.
    void bind(Command item, QObject *context, std::function<void()> command);
    bool isBound(std::string_view name) const;

private:
    QHash<QString, QAction *> m_items;
    QHash<Command, QAction *> m_commands;
    QList<QKeySequence> m_shortcuts;
    QSet<QString> m_bound;
};
