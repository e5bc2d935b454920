#include "mainwindow/markonlystyle.h"

#include <QStyleOptionMenuItem>

void MarkOnlyStyle::drawControl(ControlElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuItem && item && item->checkType != QStyleOptionMenuItem::NotCheckable
        && !item->checked) {
        // The menu still says it has checkable items, so the text keeps its column.
        QStyleOptionMenuItem unmarked(*item);
        unmarked.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &unmarked, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
