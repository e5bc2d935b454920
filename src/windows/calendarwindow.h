#pragma once

#include <QWidget>

// `frmCalendar`: a month calendar to leaf through. Nothing outside it reads or sets it.
class CalendarWindow : public QWidget
{
    Q_OBJECT
public:
    CalendarWindow();
};
