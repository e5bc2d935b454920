#include "toolbar/toolbarstrip.h"

#include <QToolBar>

QToolBar *createToolbarStrip(QWidget *parent)
{
    auto *toolbar = new QToolBar(parent);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The strip has no context menu for hiding it.
    toolbar->toggleViewAction()->setVisible(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    return toolbar;
}
