#include "mainwindow/menushortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>

void MenuShortcuts::add(const QKeySequence &shortcut, QAction *action)
{
    m_actions.insert(shortcut, action);
}

void MenuShortcuts::watch(QMenu *menu)
{
    menu->installEventFilter(this);
}

bool MenuShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!override && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    QAction *action = m_actions.value(QKeySequence(key->keyCombination()));
    if (!action || !action->isEnabled())
        return QObject::eventFilter(watched, event);
    // Claiming the override turns it into a key press for the menu, which lands here again.
    if (override) {
        event->accept();
        return true;
    }
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    // Later, so that the menus have finished closing before a command opens a dialog.
    QTimer::singleShot(0, action, [item = QPointer<QAction>(action)] {
        if (item && item->isEnabled())
            item->trigger();
    });
    return true;
}
