#pragma once

#include "mainwindow/menutable.h"

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class MenuShortcuts;
class QAction;
class QMenuBar;
class QObject;

// The menu bar's items built from the table, reachable by name.
class MenuItems
{
public:
    MenuItems() = default;
    // The shortcuts work also while a menu is open (MenuShortcuts), and an unmarked item
    // shows no check box whatever the style (MarkOnlyStyle).
    MenuItems(QMenuBar *bar, std::span<const MenuRow> rows);

    // The item of that name; asking for a name the table lacks is a programming error.
    QAction *item(std::string_view name) const;
    bool contains(std::string_view name) const;
    const QList<QKeySequence> &shortcuts() const { return m_shortcuts; }

    // Runs `command` each time the item is chosen. A checkable item shows exactly the
    // marks the command sets: the toolkit's own toggle on choosing is undone first.
    void bind(std::string_view name, QObject *context, std::function<void()> command);

    void setChecked(std::string_view name, bool checked);
    bool isBound(std::string_view name) const { return m_bound.contains(QString::fromUtf8(name.data(), qsizetype(name.size()))); }

private:
    QHash<QString, QAction *> m_items;
    QList<QKeySequence> m_shortcuts;
    QSet<QString> m_bound;
};
