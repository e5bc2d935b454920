#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

// The five kinds of window the program has; there is never more than one of each.
enum class FormKind { Main, Options, About, Shortcut, Calendar };
inline constexpr int FormKindCount = 5;

// The name each kind's window carries, also as its objectName.
QString formName(FormKind kind);

// Main window states as passed to setWindowState.
enum class MainWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

class FormRegistry : public QObject
{
    Q_OBJECT
public:
    // Builds a window of one kind from its design. The window must be a top-level
    // widget; the registry makes it delete itself on close.
    using Factory = std::function<QWidget *(FormRegistry &)>;
    using Factories = std::array<Factory, FormKindCount>;

    explicit FormRegistry(Factories factories, QObject *parent = nullptr);
    ~FormRegistry() override;

    // Builds the window on first use, then shows it modeless and brings it to the front.
    QWidget *showForm(FormKind kind);
    // Closes and destroys the live window of the kind; the next showForm builds afresh.
    void closeForm(FormKind kind);
    // Acts on the main window only.
    void setWindowState(MainWindowState state);
    // Closes every window at once, without a question, and ends the event loop.
    void endProgram();

    // The live window of the kind, or null when its slot is empty.
    QWidget *form(FormKind kind) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> &slot(FormKind kind) { return m_slots[static_cast<int>(kind)]; }

    Factories m_factories;
    std::array<QPointer<QWidget>, FormKindCount> m_slots;
};
