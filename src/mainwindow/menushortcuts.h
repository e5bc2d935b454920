#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

class QAction;
class QMenu;

// While a menu is open it holds the keyboard, and the toolkit does not look for the main
// window's shortcuts then. Installed on every menu, this runs the item a shortcut belongs
// to as if the menus were closed: they close first, then the command runs.
class MenuShortcuts : public QObject
{
    Q_OBJECT
public:
    explicit MenuShortcuts(QObject *parent) : QObject(parent) {}

    void add(const QKeySequence &shortcut, QAction *action);
    void watch(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QKeySequence, QAction *> m_actions;
};
