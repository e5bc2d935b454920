#include "editor/keepnosettings.h"

#include <QSettings>

void keepNoSettings()
{
    // Below a device file no folder can be made: reads find nothing, writes fail quietly.
    const QString nowhere = QStringLiteral("/dev/null/brevon-keeps-no-settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, nowhere);
    }
}
