#pragma once

#include <QString>

#include <functional>

class QWidget;

// Work that cannot be cut into steps between events (reading, parsing or writing a whole
// document) done on a thread of its own, so that the window keeps painting meanwhile. Input
// waits until the work is done, and the window cannot be closed under it. Work that takes
// longer than half a second shows a progress window over `owner`'s window, saying `what`.
// Returns once the work is done. The work must not touch widgets.
void runInBackground(const QWidget *owner, const QString &what, const std::function<void()> &work);
