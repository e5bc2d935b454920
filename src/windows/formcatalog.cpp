#include "windows/formcatalog.h"

#include "mainwindow/mainwindow.h"
#include "windows/aboutwindow.h"
#include "windows/calendarwindow.h"
#include "windows/optionswindow.h"
#include "windows/shortcutwindow.h"

FormRegistry::Factories formCatalog()
{
    return {
        [](FormRegistry &registry) -> QWidget * { return new MainWindow(registry); },
        [](FormRegistry &registry) -> QWidget * { return new OptionsWindow(registry); },
        [](FormRegistry &registry) -> QWidget * { return new AboutWindow(registry); },
        [](FormRegistry &) -> QWidget * { return new ShortcutWindow; },
        [](FormRegistry &) -> QWidget * { return new CalendarWindow; },
    };
}
