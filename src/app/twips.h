#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window designs are measured in twips: 1440 to the inch, 15 to a logical pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

// For lengths in documents, where a fraction of a pixel still counts.
constexpr double twipsToPixelsF(double twips) { return twips / TwipsPerPixel; }

constexpr QSize twipsToPixels(int widthTwips, int heightTwips)
{
    return {twipsToPixels(widthTwips), twipsToPixels(heightTwips)};
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
