#pragma once

class QToolBar;
class QWidget;

// The main window's toolbar `Toolbar1`: one row, 28 pixels high, across the window's
// full width.
QToolBar *createToolbarStrip(QWidget *parent);
