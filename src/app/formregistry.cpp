#include "app/formregistry.h"

#include "app/screenfit.h"

#include <QCoreApplication>
#include <QEvent>

QString formName(FormKind kind)
{
    switch (kind) {
    case FormKind::Main: return QStringLiteral("frmmain");
    case FormKind::Options: return QStringLiteral("frmopt");
    case FormKind::About: return QStringLiteral("frmabout");
    case FormKind::Shortcut: return QStringLiteral("frmshortcut");
    case FormKind::Calendar: return QStringLiteral("frmCalendar");
    }
    Q_UNREACHABLE();
}

FormRegistry::FormRegistry(Factories factories, QObject *parent)
    : QObject(parent), m_factories(std::move(factories))
{
}

FormRegistry::~FormRegistry()
{
    for (QPointer<QWidget> &window : m_slots)
        delete window.data();
}

QWidget *FormRegistry::showForm(FormKind kind)
{
    QPointer<QWidget> &window = slot(kind);
    if (!window) {
        window = m_factories[static_cast<int>(kind)](*this);
        Q_ASSERT(window && window->isWindow());
        window->setObjectName(formName(kind));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->installEventFilter(this);
        fitOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void FormRegistry::closeForm(FormKind kind)
{
    if (QWidget *window = slot(kind))
        window->close();
}

void FormRegistry::setWindowState(MainWindowState state)
{
    QWidget *main = form(FormKind::Main);
    if (!main)
        return;
    switch (state) {
    case MainWindowState::Normal: main->showNormal(); break;
    case MainWindowState::Minimized: main->showMinimized(); break;
    case MainWindowState::Maximized: main->showMaximized(); break;
    }
}

void FormRegistry::endProgram()
{
    for (int kind = 0; kind < FormKindCount; ++kind)
        closeForm(static_cast<FormKind>(kind));
    QCoreApplication::quit();
}

QWidget *FormRegistry::form(FormKind kind) const
{
    return m_slots[static_cast<int>(kind)];
}

bool FormRegistry::eventFilter(QObject *watched, QEvent *event)
{
    // A closed window is deleted later by the event loop; empty its slot at once so that
    // the next showForm never hands out a window that is on its way out.
    if (event->type() == QEvent::Close) {
        for (QPointer<QWidget> &window : m_slots) {
            if (window == watched)
                window = nullptr;
        }
    }
    return QObject::eventFilter(watched, event);
}
