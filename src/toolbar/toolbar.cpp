#include "toolbar/toolbar.h"

#include "toolbar/imagelist.h"
#include "toolbar/wholepixelicon.h"

#include <QAction>
#include <QLayout>
#include <QToolBar>

namespace {

// Left to right, with no separators; each "off" button stands left of its "on" partner.
constexpr ToolbarButton buttons[] = {
    {"New", "New", "New"},
    {"Open", "Open", "Open"},
    {"Save", "Save", "Save"},
    {"Paste", "Paste", "Paste"},
    {"uni", nullptr, "uni"},
    {"Italic", "Italic", "Italic"},
    {"unbold1", nullptr, "unbold1"},
    {"Bold", "Bold", "Bold"},
    {"ununderline", nullptr, "ununderline"},
    {"Underline", "Underline", "Underline"},
    {"Properties", "Properties", "Properties"},
    {"Help", "Help", "Help"},
};

constexpr QSize buttonSize(23, 22);

} // namespace

std::span<const ToolbarButton> toolbarButtons()
{
    return buttons;
}

QToolBar *createToolbar(QWidget *parent, const ImageList &pictures,
                        std::function<void(const QString &key)> pressed)
{
    auto *toolbar = new QToolBar(parent);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar->layout()->setSpacing(0);

    for (const ToolbarButton &button : buttons) {
        // No text: the tooltip would otherwise fall back to it.
        const QIcon icon = wholePixelIcon({pictures.picture(QLatin1String(button.picture))},
                                          ImageList::faceColour());
        QAction *action = toolbar->addAction(icon, QString());
        action->setData(QLatin1String(button.key));
        action->setToolTip(button.tooltip ? QLatin1String(button.tooltip) : QString());
        toolbar->widgetForAction(action)->setFixedSize(buttonSize);
    }
    QObject::connect(toolbar, &QToolBar::actionTriggered, toolbar,
                     [pressed = std::move(pressed)](QAction *action) { pressed(action->data().toString()); });
    return toolbar;
}
