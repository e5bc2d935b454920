#pragma once

#include <QProxyStyle>

// Menus in this style show a mark beside a marked item and nothing at all beside an
// unmarked one; some styles (Fusion among them) would draw an empty box there.
class MarkOnlyStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Without a base style it follows the application's.
    explicit MarkOnlyStyle(QStyle *base = nullptr) : QProxyStyle(base) {}

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
