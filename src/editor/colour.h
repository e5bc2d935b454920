#pragma once

#include <QColor>

// Colours travel through the program as 32-bit values 0x00BBGGRR: red in the low byte.
using BgrColour = quint32;

inline QColor colourFromBgr(BgrColour value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline BgrColour bgrFromColour(const QColor &colour)
{
    return BgrColour(colour.red()) | BgrColour(colour.green()) << 8 | BgrColour(colour.blue()) << 16;
}
