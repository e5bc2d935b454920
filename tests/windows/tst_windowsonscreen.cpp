#include "app/formregistry.h"
#include "app/screenfit.h"
#include "windows/formcatalog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// Every window opens wholly on the screen, title bar included, whatever the screen's size
// and scale; where its design fits, it keeps its designed place and size. Run on a 1600 x 1000
// screen at scale 1 and 2 and on a small screen.
class TestWindowsOnScreen : public QObject
{
    Q_OBJECT
private slots:
    void everyWindowOpensOnScreen_data();
    void everyWindowOpensOnScreen();
};

void TestWindowsOnScreen::everyWindowOpensOnScreen_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 0; kind < FormKindCount; ++kind)
        QTest::newRow(qPrintable(formName(FormKind(kind)))) << kind;
}

void TestWindowsOnScreen::everyWindowOpensOnScreen()
{
    QFETCH(int, kind);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    qInfo() << "screen" << available << "scale" << QGuiApplication::primaryScreen()->devicePixelRatio();

    // The design, as the window's own constructor sets it.
    FormRegistry builder(formCatalog());
    std::unique_ptr<QWidget> designed(formCatalog()[kind](builder));
    const QRect design = designed->geometry();
    const bool placed = designed->testAttribute(Qt::WA_Moved);

    FormRegistry registry(formCatalog());
    QWidget *window = registry.showForm(FormKind(kind));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect shown = window->geometry();

    // Room above the client area for a title bar.
    const QMargins frame(4, 2 * window->fontMetrics().height() + 4, 4, 4);
    const QString where = QStringLiteral("%1 x %2 at %3, %4")
                              .arg(shown.width()).arg(shown.height()).arg(shown.x()).arg(shown.y());
    // A window the design does not place is placed by the window system; its size must fit.
    const QRect outer = shown.marginsAdded(frame);
    if (placed)
        QVERIFY2(available.contains(outer), qPrintable(where));
    else
        QVERIFY2(outer.width() <= available.width() && outer.height() <= available.height(), qPrintable(where));

    if (available.contains(design.marginsAdded(frame))) {
        QCOMPARE(shown.size(), design.size());
        if (placed)
            QCOMPARE(shown.topLeft(), design.topLeft());
    }
}

QTEST_MAIN(TestWindowsOnScreen)
#include "tst_windowsonscreen.moc"
