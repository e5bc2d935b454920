#include "mainwindow/mainwindow.h"

#include "app/failurepath.h"
#include "app/formregistry.h"
#include "app/twips.h"
#include "editor/commondialog.h"
#include "editor/editcommands.h"
#include "editor/formatcommands.h"
#include "editor/filecommands.h"
#include "editor/richtextbox.h"
#include "editor/clipboardtext.h"
#include "toolbar/dispatch.h"
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
        dispatchToolbarKey(key, *m_toolbarTargets);
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
    m_toolbarTargets.reset(new ToolbarTargets{*m_textBox, *m_dialog, m_registry, systemClipboardText});

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
    RichTextBox &box = *m_textBox;
    CommonDialog &dialog = *m_dialog;
    FormRegistry &registry = m_registry;

    const struct {
        std::string_view item;
        std::function<void()> command;
    } bindings[] = {
        {"mnufilenew", [&box] { FailurePath::run(clearDocumentSteps(box)); }},
        {"mnufileopen", [&box, &dialog] {
             FailurePath::run(openFileSteps(box, dialog, FileFilter::Rtf, DocumentKind::Rtf));
         }},
        {"mnufilesave", [&box, &dialog] {
             FailurePath::run(saveFileSteps(box, dialog, FileFilter::Rtf, DocumentKind::Rtf));
         }},
        {"mnufileopentext", [&box, &dialog] {
             FailurePath::run(openFileSteps(box, dialog, FileFilter::Text, DocumentKind::PlainText));
         }},
        {"mnufilesaveastext", [&box, &dialog] {
             FailurePath::run(saveFileSteps(box, dialog, FileFilter::Text, DocumentKind::PlainText));
         }},
        {"mnufileexit", [&registry] { registry.endProgram(); }},
        {"mnuselectall", [&box] { box.selectAll(); }},
        {"mnutoolscalendars", [&registry] { registry.showForm(FormKind::Calendar); }},
        {"mnuviewmini", [&registry] { registry.setWindowState(MainWindowState::Minimized); }},
        {"mnuviewmax", [&registry] { registry.setWindowState(MainWindowState::Maximized); }},
        {"shortcut", [&registry] { registry.showForm(FormKind::Shortcut); }},
        {"mnuhelpabout", [&registry] { registry.showForm(FormKind::About); }},
        {"mnushortcut", [&registry] { registry.showForm(FormKind::Shortcut); }},
    };
    for (const auto &binding : bindings)
        m_menuItems.bind(binding.item, this, binding.command);

    const ClipboardReader clipboard = systemClipboardText;
    for (const EditCommand &command : editCommands()) {
        m_menuItems.bind(command.item, this, [&box, &command, clipboard] {
            FailurePath::run(command.steps(box, clipboard));
        });
    }

    MenuItems &items = m_menuItems;
    const CheckMarkSetter marks = [&items](std::string_view item, bool checked) {
        items.setChecked(item, checked);
    };
    for (const FormatCommand &command : formatCommands()) {
        m_menuItems.bind(command.item, this, [&box, &command, marks] {
            FailurePath::run(formatSteps(command, box, marks));
        });
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
