#include "toolbar/wholepixelicon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

bool paletteIsDark()
{
    return QGuiApplication::palette().color(QPalette::Button).lightness() < 128;
}

class WholePixelIconEngine : public QIconEngine
{
public:
    WholePixelIconEngine(QList<QPixmap> designs, std::optional<QColor> face)
        : m_designs(std::move(designs)), m_face(face)
    {
        std::sort(m_designs.begin(), m_designs.end(),
                  [](const QPixmap &a, const QPixmap &b) { return a.width() < b.width(); });
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        Q_UNUSED(state);
        if (m_designs.isEmpty() || size.isEmpty())
            return {};
        QPixmap picture = design(size);
        if (m_face && paletteIsDark()) {
            QPixmap faced(picture.size());
            faced.fill(*m_face);
            QPainter(&faced).drawPixmap(0, 0, picture);
            picture = faced;
        }
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (mode == QIcon::Disabled)
            return QIcon(picture).pixmap(size, QIcon::Disabled);
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * scale, mode, state);
        picture.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, picture);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const QPixmap &design : m_designs)
            sizes.append(design.size());
        return sizes;
    }

    QString key() const override { return QStringLiteral("WholePixelIconEngine"); }
    QIconEngine *clone() const override { return new WholePixelIconEngine(*this); }

private:
    // The largest design that goes into the size a whole number of times; else the largest
    // that is no larger; else the smallest.
    QPixmap design(const QSize &size) const
    {
        for (auto it = m_designs.crbegin(); it != m_designs.crend(); ++it) {
            if (size.width() % it->width() == 0 && size.height() % it->height() == 0)
                return *it;
        }
        for (auto it = m_designs.crbegin(); it != m_designs.crend(); ++it) {
            if (it->width() <= size.width() && it->height() <= size.height())
                return *it;
        }
        return m_designs.constFirst();
    }

    QList<QPixmap> m_designs;
    std::optional<QColor> m_face;
};

} // namespace

QIcon wholePixelIcon(const QList<QPixmap> &designs, std::optional<QColor> face)
{
    return QIcon(new WholePixelIconEngine(designs, face));
}
