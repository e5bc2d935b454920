#include "toolbar/toolbar.h"

#include "commands/commandtable.h"
#include "toolbar/imagelist.h"
#include "toolbar/wholepixelicon.h"

#include <QAction>
#include <QLayout>
#include <QToolBar>

namespace {

QString qstring(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// No separators; each "off" button stands left of its "on" partner.
constexpr Command buttons[] = {
    Command::ButtonNew,      Command::ButtonOpen,        Command::ButtonSave,      Command::ButtonPaste,
    Command::ButtonUnitalic, Command::ButtonItalic,      Command::ButtonUnbold,    Command::ButtonBold,
    Command::ButtonUnunderline, Command::ButtonUnderline, Command::ButtonProperties, Command::ButtonHelp,
};

constexpr QSize buttonSize(23, 22);

} // namespace

std::span<const Command> toolbarButtons()
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

    for (Command id : buttons) {
        const CommandRow &button = commandRow(id);
        // No text: the tooltip would otherwise fall back to it.
        const QIcon icon = wholePixelIcon({pictures.picture(qstring(button.picture))}, ImageList::faceColour());
        QAction *action = toolbar->addAction(icon, QString());
        action->setData(qstring(button.name));
        action->setToolTip(qstring(button.caption));
        toolbar->widgetForAction(action)->setFixedSize(buttonSize);
    }
    QObject::connect(toolbar, &QToolBar::actionTriggered, toolbar,
                     [pressed = std::move(pressed)](QAction *action) { pressed(action->data().toString()); });
    return toolbar;
}

void dispatchToolbarKey(const QString &key, CommandTargets &targets)
{
    for (Command id : buttons) {
        if (key == qstring(commandRow(id).name)) {
            runCommand(id, targets);
            return;
        }
    }
}
