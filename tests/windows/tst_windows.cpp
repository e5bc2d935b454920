#include "app/formregistry.h"
#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "windows/formcatalog.h"
#include "windows/windowdesign.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

#include <memory>

Q_DECLARE_METATYPE(FormKind)

namespace {

// Waits until a closed window has really been destroyed.
bool isDeleted(const QPointer<QWidget> &window)
{
    return QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    });
}

QWidget *child(QWidget *window, const char *name)
{
    auto *found = window->findChild<QWidget *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control named %s in %s", name, qPrintable(window->objectName()));
    return found;
}

// The focusable controls of a window in the order Tab visits them, from the first one.
QStringList tabChain(QWidget *first)
{
    QStringList names;
    QWidget *widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisibleTo(first->window())
            && !widget->isWindow() && !widget->objectName().startsWith(QLatin1String("qt_")))
            names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first && widget);
    return names;
}

} // namespace

class tst_Windows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void singleInstance_data();
    void singleInstance();
    void freshWindowAfterClose_data();
    void freshWindowAfterClose();

    void windowDesign_data();
    void windowDesign();
    void controls_data();
    void controls();
    void fonts();
    void textsFitTheirControls();
    void tabOrderAndFocus_data();
    void tabOrderAndFocus();
    void noDefaultOrCancelButton();

    void optionsColourButtonsSetEditingArea();
    void optionsColourButtonFacesReadable();
    void optionsWithoutMainWindowDoesNothing();
    void optionsCloseAndAltO();
    void aboutCancelClosesOnlyAbout();

    void shortcutIsFixedRedToolWindow();
    void keptInView_data();
    void keptInView();
    void shortcutOpensOnScreen();

    void calendarOpensOnStoredDate();
    void calendarLook();
    void calendarDoesNotFollowWindow();
    void calendarBackToStoredDateAfterClose();

private:
    std::unique_ptr<FormRegistry> m_registry;
};

void tst_Windows::init()
{
    m_registry = std::make_unique<FormRegistry>(formCatalog());
}

void tst_Windows::cleanup()
{
    m_registry.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

static void addSecondaryKinds()
{
    QTest::addColumn<FormKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("options") << FormKind::Options << "frmopt";
    QTest::newRow("about") << FormKind::About << "frmabout";
    QTest::newRow("shortcut") << FormKind::Shortcut << "frmshortcut";
    QTest::newRow("calendar") << FormKind::Calendar << "frmCalendar";
}

void tst_Windows::singleInstance_data()
{
    addSecondaryKinds();
}

void tst_Windows::singleInstance()
{
    QFETCH(FormKind, kind);
    QFETCH(QString, name);

    QWidget *first = m_registry->showForm(kind);
    QVERIFY(first);
    QCOMPARE(first->objectName(), name);
    QVERIFY(first->isWindow());
    QVERIFY(!first->parentWidget());
    QVERIFY(first->isVisible());

    QWidget *again = m_registry->showForm(kind);
    QCOMPARE(again, first);
    QCOMPARE(m_registry->form(kind), first);
    int windowsOfKind = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        windowsOfKind += window->objectName() == name;
    QCOMPARE(windowsOfKind, 1);
}

void tst_Windows::freshWindowAfterClose_data()
{
    addSecondaryKinds();
}

void tst_Windows::freshWindowAfterClose()
{
    QFETCH(FormKind, kind);

    QPointer<QWidget> first = m_registry->showForm(kind);
    QVERIFY(first);
    // Leave a mark on the window that a fresh build would not carry.
    first->setWindowTitle(QStringLiteral("changed"));
    m_registry->closeForm(kind);
    QCOMPARE(m_registry->form(kind), nullptr);
    QVERIFY(isDeleted(first));

    QWidget *second = m_registry->showForm(kind);
    QVERIFY(second);
    QVERIFY(second->windowTitle() != QLatin1String("changed"));

    // The close box has the same effect as closeForm.
    QPointer<QWidget> viaCloseBox = second;
    second->close();
    QVERIFY(isDeleted(viaCloseBox));
    QCOMPARE(m_registry->form(kind), nullptr);
}

void tst_Windows::windowDesign_data()
{
    QTest::addColumn<FormKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("clientSize");
    QTest::addColumn<QPoint>("clientTopLeft"); // (-1,-1): left to the window system

    QTest::newRow("options") << FormKind::Options << "Options" << QSize(194, 170) << QPoint(-1, -1);
    QTest::newRow("about") << FormKind::About << "About Brevon" << QSize(312, 148)
                           << QPoint(323, 307);
    QTest::newRow("shortcut") << FormKind::Shortcut << "Shortcut " << QSize(144, 247)
                              << QPoint(-1, -1); // placed on screen: see shortcutOpensOnScreen
    QTest::newRow("calendar") << FormKind::Calendar << "Calendar" << QSize(771, 525)
                              << QPoint(188, 109);
}

void tst_Windows::windowDesign()
{
    QFETCH(FormKind, kind);
    QFETCH(QString, caption);
    QFETCH(QSize, clientSize);
    QFETCH(QPoint, clientTopLeft);

    QWidget *window = m_registry->showForm(kind);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), clientSize);
    if (clientTopLeft != QPoint(-1, -1))
        QCOMPARE(window->geometry().topLeft(), clientTopLeft);
}

void tst_Windows::controls_data()
{
    QTest::addColumn<FormKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");

    const QString label = QStringLiteral("QLabel");
    const QString button = QStringLiteral("QPushButton");
    auto row = [](FormKind kind, const char *name, const QString &className, const char *text,
                  QRect rect) {
        QTest::newRow(name) << kind << QString::fromLatin1(name) << className
                            << QString::fromLatin1(text) << rect;
    };

    row(FormKind::Options, "Label1", label, "Text box's background color.", {8, 8, 161, 25});
    row(FormKind::Options, "cmnblue", button, "Blue", {8, 40, 169, 17});
    row(FormKind::Options, "cmnred", button, "Red", {8, 56, 169, 17});
    row(FormKind::Options, "cmnyellow", button, "Yellow", {8, 72, 169, 17});
    row(FormKind::Options, "cmnblack", button, "Black", {8, 88, 169, 17});
    row(FormKind::Options, "cmnwhite", button, "White", {8, 104, 169, 17});
    row(FormKind::Options, "cmnclose", button, "Cl&ose", {56, 128, 81, 33});

    row(FormKind::About, "lbltitle", label, "Tolvex Brevon", {56, 8, 193, 33});
    row(FormKind::About, "lbldes", label,
        "Tolvex Brevon is a RTF and Text editor for Windows, you can also save the file you "
        "create with this program in TXT or RTF format.  More format will be supported soon.",
        {0, 48, 313, 49});
    row(FormKind::About, "cmncancel", button, "Cancel", {104, 112, 81, 33});

    row(FormKind::Shortcut, "lbl1", label, "Copy - Ctrl+C", {0, 8, 137, 17});
    row(FormKind::Shortcut, "lbl2", label, "Cut - Ctrl + X", {0, 32, 137, 17});
    row(FormKind::Shortcut, "lbl3", label, "Paste - Ctrl + P", {0, 56, 137, 17});
    row(FormKind::Shortcut, "Label1", label, "Open RTF - Ctrl + O", {0, 80, 137, 17});
    row(FormKind::Shortcut, "Label2", label, "Save as RTF - Ctrl + S", {0, 104, 137, 17});
    row(FormKind::Shortcut, "Label3", label, "Open text - Ctrl + B", {0, 128, 137, 17});
    row(FormKind::Shortcut, "Label4", label, "Save as text - Ctrl + l", {0, 152, 137, 17});
    row(FormKind::Shortcut, "Label5", label, "Exit - Ctrl + Q", {0, 176, 137, 17});
    row(FormKind::Shortcut, "Label6", label, "Help - Ctrl + K", {0, 200, 137, 17});

    row(FormKind::Calendar, "Calendar1", QStringLiteral("QCalendarWidget"), "", {0, 0, 769, 633});
}

void tst_Windows::controls()
{
    QFETCH(FormKind, kind);
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(QRect, rect);

    QWidget *window = m_registry->showForm(kind);
    QWidget *control = child(window, name.toLatin1().constData());
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), window);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
    QCOMPARE(control->geometry(), rect);
    if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->wordWrap());
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), text);
    }

    // Controls keep their places and sizes when the window is resized.
    window->resize(window->size() + QSize(40, 30));
    QCOMPARE(control->geometry(), rect);
}

void tst_Windows::fonts()
{
    QWidget *about = m_registry->showForm(FormKind::About);
    const QFont title = child(about, "lbltitle")->font();
    QCOMPARE(title.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(title.pointSizeF(), 18.0);
    QCOMPARE(title.weight(), QFont::Normal);
    QVERIFY(!title.italic() && !title.underline() && !title.strikeOut());
    // The other controls use the window's font.
    QCOMPARE(child(about, "lbldes")->font(), about->font());
    QCOMPARE(child(about, "cmncancel")->font(), about->font());

    QWidget *options = m_registry->showForm(FormKind::Options);
    for (QWidget *control : options->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QCOMPARE(control->font(), options->font());
}

void tst_Windows::textsFitTheirControls()
{
    for (FormKind kind : {FormKind::Options, FormKind::About, FormKind::Shortcut}) {
        QWidget *window = m_registry->showForm(kind);
        for (QLabel *label : window->findChildren<QLabel *>()) {
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= label->height() && needed.width() <= label->width(),
                     qPrintable(label->objectName()));
        }
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            const QRect needed = button->fontMetrics().boundingRect(button->text());
            QVERIFY2(needed.height() <= button->height() && needed.width() < button->width(),
                     qPrintable(button->objectName()));
        }
    }
}

void tst_Windows::tabOrderAndFocus_data()
{
    QTest::addColumn<FormKind>("kind");
    QTest::addColumn<QStringList>("chain");
    QTest::newRow("options") << FormKind::Options
                             << QStringList{"cmnblue", "cmnred", "cmnyellow", "cmnblack",
                                            "cmnwhite", "cmnclose"};
    QTest::newRow("about") << FormKind::About << QStringList{"cmncancel"};
    QTest::newRow("calendar") << FormKind::Calendar << QStringList{"Calendar1"};
}

void tst_Windows::tabOrderAndFocus()
{
    QFETCH(FormKind, kind);
    QFETCH(QStringList, chain);

    QWidget *window = m_registry->showForm(kind);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    // The calendar hands its focus on to its inner grid.
    while (focused && focused->parentWidget() != window)
        focused = focused->parentWidget();
    QVERIFY(focused);
    QCOMPARE(focused->objectName(), chain.first());
    QCOMPARE(tabChain(child(window, chain.first().toLatin1().constData())), chain);
}

void tst_Windows::noDefaultOrCancelButton()
{
    for (FormKind kind : {FormKind::Options, FormKind::About}) {
        QWidget *window = m_registry->showForm(kind);
        const auto buttons = window->findChildren<QPushButton *>();
        QVERIFY(!buttons.isEmpty());
        for (QPushButton *button : buttons) {
            QVERIFY2(!button->isDefault() && !button->autoDefault(),
                     qPrintable(button->objectName()));
        }
        // Esc presses nothing: the window stays open.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m_registry->form(kind), window);
        QVERIFY(window->isVisible());
    }
}

void tst_Windows::optionsColourButtonsSetEditingArea()
{
    auto *mainWindow = qobject_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    QVERIFY(mainWindow);
    RichTextBox *box = mainWindow->textBox();
    box->replaceWithText(QStringLiteral("Some words"));
    box->selectAll();
    box->setSelectionColor(Qt::red);
    const QString htmlBefore = box->toHtml();
    const QString textBefore = box->toPlainText();

    QWidget *options = m_registry->showForm(FormKind::Options);
    const struct {
        const char *button;
        BgrColour colour;
    } presses[] = {
        {"cmnblue", 0x00FF0000}, {"cmnred", 0x000000FF},   {"cmnyellow", 0x0000FFFF},
        {"cmnblack", 0x00000000}, {"cmnwhite", 0x00FFFFFF}, {"cmnwhite", 0x00FFFFFF},
        {"cmnred", 0x000000FF},
    };
    for (const auto &press : presses) {
        auto *button = qobject_cast<QPushButton *>(child(options, press.button));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(box->backColor(), colourFromBgr(press.colour));
        QCOMPARE(box->toPlainText(), textBefore);
        QCOMPARE(m_registry->form(FormKind::Options), options);
        QVERIFY(options->isVisible());
    }
    QCOMPARE(box->toHtml(), htmlBefore);

    // Closing the window keeps the colour; a new one opens the same as the first time.
    QPointer<QWidget> closed = options;
    m_registry->closeForm(FormKind::Options);
    QVERIFY(isDeleted(closed));
    QCOMPARE(box->backColor(), QColor(Qt::red));
    QVERIFY(m_registry->showForm(FormKind::Options));
}

void tst_Windows::optionsColourButtonFacesReadable()
{
    QWidget *options = m_registry->showForm(FormKind::Options);
    const struct {
        const char *button;
        QColor face;
    } faces[] = {
        {"cmnblue", Qt::blue},   {"cmnred", Qt::red},     {"cmnyellow", Qt::yellow},
        {"cmnblack", Qt::black}, {"cmnwhite", Qt::white},
    };
    for (const auto &face : faces) {
        const QPalette palette = child(options, face.button)->palette();
        QCOMPARE(palette.color(QPalette::Button), face.face);
        const QColor text = palette.color(QPalette::ButtonText);
        const double contrast = std::abs(text.lightnessF() - face.face.lightnessF());
        QVERIFY2(contrast > 0.45, face.button);
    }
}

void tst_Windows::optionsWithoutMainWindowDoesNothing()
{
    QPointer<QWidget> mainWindow = m_registry->showForm(FormKind::Main);
    QWidget *options = m_registry->showForm(FormKind::Options);
    m_registry->closeForm(FormKind::Main);
    QVERIFY(isDeleted(mainWindow));

    const int windowsBefore = QApplication::topLevelWidgets().size();
    for (const char *name : {"cmnblue", "cmnred", "cmnyellow", "cmnblack", "cmnwhite"})
        QTest::mouseClick(qobject_cast<QPushButton *>(child(options, name)), Qt::LeftButton);

    QCOMPARE(m_registry->form(FormKind::Main), nullptr);
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QCOMPARE(m_registry->form(FormKind::Options), options);
}

void tst_Windows::optionsCloseAndAltO()
{
    QPointer<QWidget> options = m_registry->showForm(FormKind::Options);
    auto *close = qobject_cast<QPushButton *>(child(options, "cmnclose"));
    QVERIFY(close);
    QCOMPARE(close->shortcut(), QKeySequence(Qt::ALT | Qt::Key_O));

    options->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(options));
    QTest::keyClick(options, Qt::Key_O, Qt::AltModifier);
    // A mnemonic presses its button after a short visible delay.
    QTRY_COMPARE(m_registry->form(FormKind::Options), nullptr);
    QVERIFY(isDeleted(options));

    options = m_registry->showForm(FormKind::Options);
    QTest::mouseClick(qobject_cast<QPushButton *>(child(options, "cmnclose")), Qt::LeftButton);
    QCOMPARE(m_registry->form(FormKind::Options), nullptr);
    QVERIFY(isDeleted(options));
}

void tst_Windows::aboutCancelClosesOnlyAbout()
{
    auto *mainWindow = qobject_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    QVERIFY(mainWindow);
    mainWindow->textBox()->replaceWithText(QStringLiteral("kept"));
    QWidget *options = m_registry->showForm(FormKind::Options);
    QWidget *calendar = m_registry->showForm(FormKind::Calendar);
    QPointer<QWidget> about = m_registry->showForm(FormKind::About);

    QTest::mouseClick(qobject_cast<QPushButton *>(child(about, "cmncancel")), Qt::LeftButton);
    QCOMPARE(m_registry->form(FormKind::About), nullptr);
    QVERIFY(isDeleted(about));

    QCOMPARE(m_registry->form(FormKind::Main), mainWindow);
    QCOMPARE(m_registry->form(FormKind::Options), options);
    QCOMPARE(m_registry->form(FormKind::Calendar), calendar);
    QVERIFY(mainWindow->isVisible() && options->isVisible() && calendar->isVisible());
    QCOMPARE(mainWindow->textBox()->toPlainText(), QStringLiteral("kept"));
}

void tst_Windows::shortcutIsFixedRedToolWindow()
{
    QWidget *window = m_registry->showForm(FormKind::Shortcut);
    QCOMPARE(window->windowType(), Qt::Tool);
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(window->minimumSize(), QSize(144, 247));
    QCOMPARE(window->maximumSize(), QSize(144, 247));
    // A tool window would not keep the program alive on its own otherwise.
    QVERIFY(window->testAttribute(Qt::WA_QuitOnClose));

    QVERIFY(window->autoFillBackground());
    QCOMPARE(window->palette().color(window->backgroundRole()), QColor(Qt::red));

    const auto labels = window->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 9);
    for (QLabel *label : labels) {
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->palette().color(label->backgroundRole()),
                 QApplication::palette().color(QPalette::Button));
        QCOMPARE(label->font(), window->font());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
    // A band of the window's red shows between the labels.
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QImage image = window->grab().toImage();
    QCOMPARE(image.pixelColor(10, 28), QColor(Qt::red));  // between lbl1 and lbl2
    QCOMPARE(image.pixelColor(140, 10), QColor(Qt::red)); // right of lbl1
    QCOMPARE(image.pixelColor(10, 10), QApplication::palette().color(QPalette::Button));
}

void tst_Windows::keptInView_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");

    const QRect card(898, 56, 144, 247);
    QTest::newRow("wide screen keeps the place")
        << card << QRect(0, 0, 1600, 1000) << card;
    QTest::newRow("exactly fits") << card << QRect(0, 0, 1042, 303) << card;
    QTest::newRow("narrow screen") << card << QRect(0, 0, 800, 600) << QRect(656, 56, 144, 247);
    QTest::newRow("short screen") << card << QRect(0, 0, 1600, 250) << QRect(898, 3, 144, 247);
    QTest::newRow("screen with panel on the left")
        << QRect(-20, 56, 144, 247) << QRect(40, 0, 800, 600) << QRect(40, 56, 144, 247);
    QTest::newRow("second screen") << card << QRect(1600, 0, 1280, 1024)
                                   << QRect(1600, 56, 144, 247);
    QTest::newRow("too small: top-left stays in view")
        << card << QRect(0, 0, 100, 100) << QRect(0, 0, 144, 247);
}

void tst_Windows::keptInView()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(::keptInView(rect, available), expected);
}

void tst_Windows::shortcutOpensOnScreen()
{
    QWidget *window = m_registry->showForm(FormKind::Shortcut);
    const QRect available = window->screen()->availableGeometry();
    const QRect stored(898, 56, 144, 247);
    if (available.contains(stored))
        QCOMPARE(window->geometry(), stored);
    else
        QVERIFY2(available.contains(window->geometry()),
                 qPrintable(QStringLiteral("%1 not within screen").arg(window->x())));
}

void tst_Windows::calendarOpensOnStoredDate()
{
    auto *calendar = m_registry->showForm(FormKind::Calendar)->findChild<QCalendarWidget *>();
    QVERIFY(calendar);
    QCOMPARE(calendar->selectedDate(), QDate(2002, 3, 17));
    QCOMPARE(calendar->yearShown(), 2002);
    QCOMPARE(calendar->monthShown(), 3);
}

void tst_Windows::calendarLook()
{
    QWidget *window = m_registry->showForm(FormKind::Calendar);
    auto *calendar = window->findChild<QCalendarWidget *>();
    QVERIFY(calendar);
    QVERIFY(calendar->isNavigationBarVisible());
    QVERIFY(calendar->isGridVisible());
    QVERIFY(calendar->horizontalHeaderFormat() != QCalendarWidget::NoHorizontalHeader);

    const QColor darkBlue(0x00, 0x00, 0xA0);
    const QTextCharFormat dayNames = calendar->headerTextFormat();
    QCOMPARE(dayNames.font().family(), QStringLiteral("Arial"));
    QCOMPARE(dayNames.font().pointSizeF(), 8.25);
    QCOMPARE(dayNames.font().weight(), QFont::Bold);
    QCOMPARE(dayNames.foreground().color(), QColor(Qt::black));

    QCOMPARE(calendar->font().family(), QStringLiteral("Arial"));
    QCOMPARE(calendar->font().pointSizeF(), 8.25);
    QCOMPARE(calendar->font().weight(), QFont::Normal);

    // The grid lines are drawn in the shadow colour.
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QColor shadow = QApplication::palette().color(QPalette::Dark);
    const QImage cells = calendar->grab().toImage();
    int shadowPixels = 0;
    for (int x = 0; x < cells.width(); ++x)
        shadowPixels += cells.pixel(x, cells.height() * 3 / 4) == shadow.rgb();
    QVERIFY2(shadowPixels >= 6, "no vertical grid line in the shadow colour");
    const QPoint inCell(cells.width() / 14, cells.height() * 3 / 4);
    QCOMPARE(cells.pixel(inCell), QApplication::palette().color(QPalette::Button).rgb());
    // The day numbers are drawn in dark blue (anti-aliased: blue well above red and green).
    // The bottom row never holds the selected 17th.
    int darkBluePixels = 0;
    for (int y = cells.height() * 7 / 8; y < cells.height(); ++y) {
        for (int x = 0; x < cells.width(); ++x) {
            const QRgb pixel = cells.pixel(x, y);
            darkBluePixels += qBlue(pixel) > 120 && qRed(pixel) < 100 && qGreen(pixel) < 100;
        }
    }
    QVERIFY2(darkBluePixels > 20, "day numbers are not dark blue");

    // Weekends look like every other day: nothing overrides the day numbers or the
    // weekday names column by column.
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        const QTextCharFormat format = calendar->weekdayTextFormat(Qt::DayOfWeek(day));
        QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!format.hasProperty(QTextFormat::FontWeight));
    }

    auto *bar = calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    auto *month = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
    auto *year = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
    QVERIFY(bar && month && year);
    for (QToolButton *title : {month, year}) {
        QCOMPARE(title->font().family(), QStringLiteral("Arial"));
        QCOMPARE(title->font().pointSizeF(), 12.0);
        QCOMPARE(title->font().weight(), QFont::Bold);
    }

    // The title reads dark blue on the face colour rather than on the highlight, also
    // after the mouse has passed over it.
    auto titleShowsDarkBlue = [&] {
        const QImage image = bar->grab().toImage();
        for (QToolButton *title : {month, year}) {
            const QRect area(title->mapTo(bar, QPoint(0, 0)), title->size());
            bool found = false;
            for (int y = area.top(); y <= area.bottom() && !found; ++y)
                for (int x = area.left(); x <= area.right() && !found; ++x)
                    found = image.pixelColor(x, y) == darkBlue;
            if (!found)
                return false;
        }
        return image.pixelColor(bar->width() / 4, 1) == QApplication::palette().color(QPalette::Button);
    };
    QVERIFY(titleShowsDarkBlue());
    QTest::mouseMove(month);
    QTest::mouseMove(year);
    QTest::mouseMove(calendar, QPoint(calendar->width() / 2, calendar->height() / 2));
    QVERIFY(titleShowsDarkBlue());
}

void tst_Windows::calendarDoesNotFollowWindow()
{
    QWidget *window = m_registry->showForm(FormKind::Calendar);
    auto *calendar = window->findChild<QCalendarWidget *>();
    QVERIFY(calendar);
    QVERIFY(calendar->height() > window->height());
    window->resize(771, 525 + 200);
    QCOMPARE(calendar->geometry(), QRect(0, 0, 769, 633));
    window->resize(400, 300);
    QCOMPARE(calendar->geometry(), QRect(0, 0, 769, 633));
}

void tst_Windows::calendarBackToStoredDateAfterClose()
{
    auto *mainWindow = qobject_cast<MainWindow *>(m_registry->showForm(FormKind::Main));
    QVERIFY(mainWindow);
    mainWindow->textBox()->replaceWithText(QStringLiteral("unchanged"));

    QPointer<QWidget> window = m_registry->showForm(FormKind::Calendar);
    auto *calendar = window->findChild<QCalendarWidget *>();
    calendar->setCurrentPage(2010, 7);
    calendar->setSelectedDate(QDate(2010, 7, 4));

    // Showing it again while it is open keeps what the user moved to.
    QCOMPARE(m_registry->showForm(FormKind::Calendar), window.data());
    QCOMPARE(calendar->selectedDate(), QDate(2010, 7, 4));
    QCOMPARE(mainWindow->textBox()->toPlainText(), QStringLiteral("unchanged"));

    window->close();
    QVERIFY(isDeleted(window));
    auto *fresh = m_registry->showForm(FormKind::Calendar)->findChild<QCalendarWidget *>();
    QVERIFY(fresh);
    QCOMPARE(fresh->selectedDate(), QDate(2002, 3, 17));
    QCOMPARE(fresh->yearShown(), 2002);
    QCOMPARE(fresh->monthShown(), 3);
}

QTEST_MAIN(tst_Windows)
#include "tst_windows.moc"
