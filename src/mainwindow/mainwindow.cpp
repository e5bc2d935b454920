#include "mainwindow/mainwindow.h"

#include "app/twips.h"
#include "commands/commandtable.h"
#include "editor/commondialog.h"
#include "editor/richtextbox.h"
#include "editor/clipboardtext.h"
#include "toolbar/imagelist.h"
#include "toolbar/toolbar.h"
#include "toolbar/wholepixelicon.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QIcon programIcon()
{
    return wholePixelIcon({QPixmap(QStringLiteral(":/icon/brevon-16.xpm")),
                           QPixmap(QStringLiteral(":/icon/brevon-32.xpm"))});
}

} // namespace

MainWindow::MainWindow(FormRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Brevon"));
    setWindowIcon(programIcon());

    m_menuItems = MenuItems(menuBar(), menuRows());

    // The toolbar is aligned to the top edge and follows the window's width; the editing
    // area keeps its designed place and size whatever the window's size, and the button
    // face shows where it does not reach.
    auto *clientArea = new QWidget(this);
    clientArea->setObjectName(QStringLiteral("clientArea"));
    clientArea->setBackgroundRole(QPalette::Button);
    clientArea->setAutoFillBackground(true);
    setCentralWidget(clientArea);

    // QToolBar sizes itself to its buttons; the holder keeps the designed height.
    auto *toolbarHolder = new QWidget(clientArea);
    toolbarHolder->setFixedHeight(twipsToPixels(420));
    m_pictures = new ImageList(this);
    m_toolbar = createToolbar(toolbarHolder, *m_pictures, [this](const QString &key) {
        dispatchToolbarKey(key, *m_commandTargets);
    });
    auto *fill = new QVBoxLayout(toolbarHolder);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_toolbar);
    auto *alignTop = new QVBoxLayout(clientArea);
    alignTop->setContentsMargins(0, 0, 0, 0);
    alignTop->setSpacing(0);
    alignTop->addWidget(toolbarHolder);
    alignTop->addStretch();

    m_textBox = new RichTextBox(clientArea);
    const QRect textArea = twipsRect(0, 480, 17160, 11655);
    m_textBox->setFixedSize(textArea.size());
    m_textBox->move(textArea.topLeft());
    m_textBox->installEventFilter(this);

    m_dialog = new CommonDialog(this);
    MenuItems &items = m_menuItems;
    const CheckMarkSetter marks = [&items](Command item, bool checked) { items.item(item)->setChecked(checked); };
    m_commandTargets.reset(new CommandTargets{*m_textBox, *m_dialog, m_registry, systemClipboardText, marks});

    const QRect client = designClientArea();
    const int menuHeight = menuBar()->sizeHint().height();
    setGeometry(client.adjusted(0, -menuHeight, 0, 0));

    bindCommands();
}

MainWindow::~MainWindow() = default;

QRect MainWindow::designClientArea()
{
    return twipsRect(810, 1200, 12555, 10065);
}

void MainWindow::bindCommands()
{
    for (const MenuRow &row : menuRows()) {
        if (row.role == MenuItemRole::Command) {
            m_menuItems.bind(row.command, this, [this, id = row.command] { runCommand(id, *m_commandTargets); });
        }
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The text edit claims some Ctrl keys for itself (Ctrl+A, Ctrl+K, ...) by accepting
    // the shortcut override; refusing it here lets the menu's shortcut run instead.
    if (watched == m_textBox && event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_menuItems.shortcuts().contains(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
