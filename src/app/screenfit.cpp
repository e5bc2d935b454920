#include "app/screenfit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect keptInView(const QRect &rect, const QRect &available)
{
    QRect placed = rect;
    if (placed.right() > available.right())
        placed.moveRight(available.right());
    if (placed.bottom() > available.bottom())
        placed.moveBottom(available.bottom());
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    return placed;
}

QRect fittedOnScreen(const QRect &client, const QMargins &frame, const QRect &available,
                     const QSize &minimum)
{
    const QSize room = available.marginsRemoved(frame).size();
    QRect fitted(client.topLeft(), client.size().boundedTo(room).expandedTo(minimum));

    return keptInView(fitted.marginsAdded(frame), available).marginsRemoved(frame);
}

void fitOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    // Title bars are rarely taller than two lines of menu text; borders rarely wider than 4.
    const int titleBar = 2 * window->fontMetrics().height() + 4;
    const QMargins frame = window->frameGeometry() != window->geometry()
                               ? QMargins(window->geometry().left() - window->frameGeometry().left(),
                                          window->geometry().top() - window->frameGeometry().top(),
                                          window->frameGeometry().right() - window->geometry().right(),
                                          window->frameGeometry().bottom() - window->geometry().bottom())
                               : QMargins(4, titleBar, 4, 4);
    const QRect available = screen->availableGeometry();
    const QRect client = window->geometry();
    const QRect fitted = fittedOnScreen(client, frame, available, window->minimumSize());
    if (fitted == client)
        return;
    // A window the design lets the window system place keeps that freedom when its size fits.
    if (window->testAttribute(Qt::WA_Moved))
        window->setGeometry(fitted);
    else
        window->resize(fitted.size());
}
