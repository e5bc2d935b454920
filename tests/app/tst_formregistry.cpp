#include "app/formregistry.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

// Plain windows stand in for the real designs; the registry only manages lifetimes.
FormRegistry::Factories plainWindows(int *built)
{
    FormRegistry::Factories factories;
    for (auto &factory : factories) {
        factory = [built](FormRegistry &) -> QWidget * {
            ++*built;
            auto *window = new QWidget;
            window->resize(200, 100);
            return window;
        };
    }
    return factories;
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int visibleWindows()
{
    int visible = 0;
    for (const QWindow *window : QGuiApplication::topLevelWindows())
        visible += window->isVisible();
    return visible;
}

} // namespace

class TestFormRegistry : public QObject
{
    Q_OBJECT
private slots:
    void oneWindowPerKind();
    void closedWindowIsBuiltAfresh();
    void closeBoxEmptiesTheSlot();
    void endProgramClosesEverything();
    void programEndsWithTheLastWindow();
    void windowStateActsOnTheMainWindowOnly();
};

void TestFormRegistry::oneWindowPerKind()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    QWidget *about = registry.showForm(FormKind::About);
    about->setWindowTitle(QStringLiteral("changed by the user"));
    QCOMPARE(registry.showForm(FormKind::About), about);
    QCOMPARE(about->windowTitle(), QStringLiteral("changed by the user"));
    QCOMPARE(built, 1);
    QCOMPARE(about->objectName(), QStringLiteral("frmabout"));
    QVERIFY(about->isVisible());
    QVERIFY(about->isWindow());
    QCOMPARE(about->parentWidget(), nullptr);

    QCOMPARE(registry.showForm(FormKind::Calendar)->objectName(), QStringLiteral("frmCalendar"));
    QCOMPARE(built, 2);
    QCOMPARE(registry.form(FormKind::Shortcut), nullptr);
}

void TestFormRegistry::closedWindowIsBuiltAfresh()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    QPointer<QWidget> first = registry.showForm(FormKind::Options);
    registry.closeForm(FormKind::Options);
    QCOMPARE(registry.form(FormKind::Options), nullptr);

    // Even before the event loop has deleted the old window, a new one is built.
    QWidget *second = registry.showForm(FormKind::Options);
    QVERIFY(second != first.data());
    QCOMPARE(built, 2);
    processDeferredDeletes();
    QVERIFY(first.isNull());
    QCOMPARE(registry.form(FormKind::Options), second);
}

void TestFormRegistry::closeBoxEmptiesTheSlot()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    QPointer<QWidget> shortcut = registry.showForm(FormKind::Shortcut);
    shortcut->close(); // as the title-bar close box does
    QCOMPARE(registry.form(FormKind::Shortcut), nullptr);
    processDeferredDeletes();
    QVERIFY(shortcut.isNull());
}

void TestFormRegistry::endProgramClosesEverything()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    QList<QPointer<QWidget>> windows;
    for (FormKind kind : {FormKind::Main, FormKind::About, FormKind::Shortcut, FormKind::Calendar})
        windows.append(registry.showForm(kind));

    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    registry.endProgram();
    for (int kind = 0; kind < FormKindCount; ++kind)
        QCOMPARE(registry.form(static_cast<FormKind>(kind)), nullptr);
    processDeferredDeletes();
    for (const auto &window : windows)
        QVERIFY(window.isNull());
}

void TestFormRegistry::programEndsWithTheLastWindow()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    registry.showForm(FormKind::Main);
    QWidget *calendar = registry.showForm(FormKind::Calendar);

    // Qt ends the program when no visible window is left; nothing of ours may linger.
    registry.form(FormKind::Main)->close();
    processDeferredDeletes();
    QCOMPARE(visibleWindows(), 1);
    QVERIFY(calendar->isVisible());

    calendar->close();
    processDeferredDeletes();
    QCOMPARE(visibleWindows(), 0);
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
}

void TestFormRegistry::windowStateActsOnTheMainWindowOnly()
{
    int built = 0;
    FormRegistry registry(plainWindows(&built));
    QWidget *main = registry.showForm(FormKind::Main);
    QWidget *about = registry.showForm(FormKind::About);

    registry.setWindowState(MainWindowState::Maximized);
    QVERIFY(main->windowState() & Qt::WindowMaximized);
    registry.setWindowState(MainWindowState::Maximized);
    QVERIFY(main->windowState() & Qt::WindowMaximized);
    registry.setWindowState(MainWindowState::Minimized);
    QVERIFY(main->windowState() & Qt::WindowMinimized);
    QCOMPARE(about->windowState(), Qt::WindowNoState);
    QVERIFY(about->isVisible());

    registry.closeForm(FormKind::Main);
    registry.setWindowState(MainWindowState::Normal); // no main window: nothing to do
}

QTEST_MAIN(TestFormRegistry)
#include "tst_formregistry.moc"
