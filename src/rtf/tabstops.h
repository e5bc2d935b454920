#pragma once

#include <QByteArrayView>
#include <QList>
#include <QTextOption>

namespace rtf {

// The tab stops a paragraph's tab words set, in pixels, for the screen. Leaders and bar
// tabs have no place in Qt's tabs; the words themselves are kept for saving.
QList<QTextOption::Tab> tabStops(QByteArrayView words);

// How much of the words ends with a stop. Kind and leader words after the last stop wait for
// a stop to come: LibreOffice gives them to the next \tx, even past \pard, so the reader
// carries them there rather than leaving them with paragraphs that have no stop for them.
qsizetype settledTabWords(QByteArrayView words);

} // namespace rtf
