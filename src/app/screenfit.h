#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// Moves rect the least distance that brings it wholly into available, so a rect that
// already fits keeps its place; one larger than available keeps its top-left in view.
QRect keptInView(const QRect &rect, const QRect &available);

// Where a window's client area goes so that the window, frame and title bar included, lies
// on the screen's available area: its designed place and size where they fit; otherwise
// smaller, down to `minimum`, and moved the least distance into view. A window still larger
// than the screen keeps its title bar's left end in view.
QRect fittedOnScreen(const QRect &client, const QMargins &frame, const QRect &available,
                     const QSize &minimum);

// Fits a window about to be shown for the first time onto its screen. The window system
// tells the frame's size only once the window is shown, so a title bar of common height
// is allowed for.
void fitOnScreen(QWidget *window);
