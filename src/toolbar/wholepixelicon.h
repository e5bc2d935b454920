#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

#include <optional>

// An icon from pictures drawn pixel by pixel. At any size and screen scale each drawn pixel
// becomes a block of whole pixels, never a smoothed blur, taken from the design that scales
// best to the size asked for. Pictures drawn for a light face are shown on `face` when the
// palette is dark, where their black strokes would vanish.
QIcon wholePixelIcon(const QList<QPixmap> &designs, std::optional<QColor> face = {});
