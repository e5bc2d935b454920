#pragma once

#include <QWidget>

// `frmshortcut`: a fixed reference card of nine shortcut lines on a red tool window.
class ShortcutWindow : public QWidget
{
    Q_OBJECT
public:
    ShortcutWindow();
};
