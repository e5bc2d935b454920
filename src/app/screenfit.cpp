#include "app/screenfit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect fittedOnScreen(const QRect &client, const QMargins &frame, const QRect &available,
                     const QSize &minimum)
{
    const QSize room = available.marginsRemoved(frame).size();
    QRect fitted(client.topLeft(), client.size().boundedTo(room).expandedTo(minimum));

    QRect outer = fitted.marginsAdded(frame);
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    if (outer.left() < available.left())
        outer.moveLeft(available.left());
    if (outer.top() < available.top())
        outer.moveTop(available.top());
    return outer.marginsRemoved(frame);
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
