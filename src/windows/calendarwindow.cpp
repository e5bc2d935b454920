#include "windows/calendarwindow.h"

#include "windows/windowdesign.h"

#include <QCalendarWidget>
#include <QTableView>
#include <QTextCharFormat>

#include <array>

namespace {

constexpr WindowDesign Design{"Calendar", 11565, 7875, QPoint(2820, 1635)};

// The calendar is taller than the client area and does not follow the window: its lower
// part shows only once the user makes the window taller.
constexpr std::array<ControlDesign, 1> Controls{{
    {ControlKind::Calendar, "Calendar1", "", {0, 0, 11535, 9495}, 0},
}};

// The calendar's stored look.
constexpr int StoredYear = 2002;
constexpr int StoredMonth = 3;
constexpr int StoredDay = 17;
constexpr BgrColour BackColour = SystemFaceColour;
constexpr BgrColour GridColour = SystemShadowColour;
constexpr FontDesign TitleFont{"Arial", 12, 700};
constexpr BgrColour TitleColour = 0x00A00000;
constexpr FontDesign DayNameFont{"Arial", 8.25, 700};
constexpr BgrColour DayNameColour = 0x00000000;
constexpr FontDesign DayFont{"Arial", 8.25, 400};
constexpr BgrColour DayColour = 0x00A00000;

void applyStoredLook(QCalendarWidget *calendar)
{
    calendar->setNavigationBarVisible(true);
    calendar->setGridVisible(true);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);

    // Day numbers take the calendar's own font.
    QPalette palette = calendar->palette();
    const QColor face = designColour(BackColour, palette);
    palette.setColor(QPalette::Window, face);
    calendar->setPalette(palette);
    calendar->setFont(designFont(DayFont));

    // The platform style derives the grid's colour from the background; only a style rule
    // on the grid's view gives it the shadow colour. A style rule replaces the view's
    // inherited colours, so it names the cells' background (the weekday row's too) and the
    // day numbers' colour as well.
    if (auto *grid = calendar->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview")))
        grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; background-color: %2;"
                                           " alternate-background-color: %2; color: %3; }")
                                .arg(designColour(GridColour, palette).name(), face.name(),
                                     designColour(DayColour, palette).name()));

    QTextCharFormat dayNames;
    dayNames.setFont(designFont(DayNameFont));
    dayNames.setForeground(designColour(DayNameColour, palette));
    calendar->setHeaderTextFormat(dayNames);

    // A weekday format is merged over the weekday row as well as the days, so it must
    // carry nothing; an empty one also drops the platform's red weekends.
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        calendar->setWeekdayTextFormat(Qt::DayOfWeek(day), QTextCharFormat());

    // The title bar holds the month and year selectors; it is the face colour here rather
    // than the platform's highlight, so that the dark blue title reads on it. The month and
    // year buttons paint their text in the bar's highlighted-text colour, and in its button
    // text colour while the mouse is over them, so both roles carry the title colour; the
    // year editor keeps the platform's selection colours.
    auto *bar = calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    if (bar) {
        const QColor title = designColour(TitleColour, palette);
        QPalette barPalette = bar->palette();
        barPalette.setColor(QPalette::ButtonText, title);
        barPalette.setColor(QPalette::HighlightedText, title);
        bar->setPalette(barPalette);
        bar->setBackgroundRole(QPalette::Button);
        // The calendar gives its month and year buttons a font of their own when it is
        // built, so the title font goes to each of them rather than only to the bar.
        bar->setFont(designFont(TitleFont));
        for (QWidget *child : bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setFont(designFont(TitleFont));
        if (auto *yearEditor = bar->findChild<QWidget *>(QStringLiteral("qt_calendar_yearedit"))) {
            QPalette editorPalette = yearEditor->palette();
            editorPalette.setColor(QPalette::HighlightedText,
                                   calendar->palette().color(QPalette::HighlightedText));
            editorPalette.setColor(QPalette::Text, title);
            yearEditor->setPalette(editorPalette);
        }
    }

    calendar->setCurrentPage(StoredYear, StoredMonth);
    calendar->setSelectedDate(QDate(StoredYear, StoredMonth, StoredDay));
}

} // namespace

CalendarWindow::CalendarWindow()
{
    setObjectName(QStringLiteral("frmCalendar"));
    applyWindowDesign(this, Design);

    const std::vector<QWidget *> controls = buildControls(this, Controls);
    applyStoredLook(static_cast<QCalendarWidget *>(controls.front()));
}
