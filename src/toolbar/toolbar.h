#pragma once

#include <QString>

#include <functional>
#include <span>

class ImageList;
class QToolBar;
class QWidget;

struct ToolbarButton {
    const char *key;     // names the command; the only thing of a button the dispatch reads
    const char *tooltip; // null: the button shows no tooltip
    const char *picture; // key in the image list
};

std::span<const ToolbarButton> toolbarButtons();

// The main window's toolbar `Toolbar1`: one row of picture buttons across the window's
// full width. Each press hands the pressed button's key to `pressed`.
QToolBar *createToolbar(QWidget *parent, const ImageList &pictures,
                        std::function<void(const QString &key)> pressed);
