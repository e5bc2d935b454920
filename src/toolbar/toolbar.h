#pragma once

#include "commands/command.h"
#include "commands/commandtargets.h"

#include <QString>

#include <functional>
#include <span>

class ImageList;
class QToolBar;
class QWidget;

// The buttons, left to right. Each shows its command's picture and tooltip, and carries
// its command's name as its key.
std::span<const Command> toolbarButtons();

// The main window's toolbar `Toolbar1`: one row of picture buttons across the window's
// full width. Each press hands the pressed button's key to `pressed`.
QToolBar *createToolbar(QWidget *parent, const ImageList &pictures,
                        std::function<void(const QString &key)> pressed);

// Runs the command of a pressed button's key. Keys match exactly (case, spaces) and an
// unknown key does nothing. A failing step is passed over without a word and the next
// step runs.
void dispatchToolbarKey(const QString &key, CommandTargets &targets);
