#pragma once

#include <QByteArrayView>
#include <QList>
#include <QTextOption>

namespace rtf {

// The tab stops a paragraph's tab words set, in pixels, for the screen. Leaders and bar
// tabs have no place in Qt's tabs; the words themselves are kept for saving.
QList<QTextOption::Tab> tabStops(QByteArrayView words);

} // namespace rtf
