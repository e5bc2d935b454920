#pragma once

#include "app/screenfit.h"
#include "editor/colour.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <span>
#include <vector>

class QFont;
class QPalette;
class QWidget;

// The secondary windows are built from stored designs: one table row per control, walked
// by buildControls. Measures are in twips, as the designs were drawn.

// Colours in a design are 0x00BBGGRR values; one with the top bit set names a system
// colour by index instead, so that it follows the platform's palette.
inline constexpr BgrColour SystemWindowColour = 0x80000005;
inline constexpr BgrColour SystemFaceColour = 0x8000000F;
inline constexpr BgrColour SystemShadowColour = 0x80000010;

QColor designColour(BgrColour value, const QPalette &palette);

struct FontDesign {
    const char *family;
    double points;
    int weight; // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

QFont designFont(const FontDesign &design);

// The font the designs were laid out for; controls without a font of their own use it, and
// their texts fit their places in it.
inline constexpr FontDesign DesignWindowFont{"MS Sans Serif", 8, 400};

enum class ControlKind { Label, PushButton, Calendar };

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlDesign {
    ControlKind kind;
    const char *name;
    const char *text;
    TwipsRect rect;
    int tabIndex;
    std::optional<BgrColour> backColour = {}; // none: the kind's platform look
    std::optional<FontDesign> font = {};      // none: the window's font
};

struct WindowDesign {
    const char *caption;
    int clientWidth;
    int clientHeight;
    // The client area's top-left on the screen; none lets the window system place it.
    std::optional<QPoint> clientPosition = {};
    std::optional<BgrColour> backColour = {};
    FontDesign font = DesignWindowFont;
};

// Caption, client-area size and place, background and font.
void applyWindowDesign(QWidget *window, const WindowDesign &design);

// Builds the controls as children of window, in row order, and chains the focusable ones
// in tab order; the first of those has the focus when the window opens. Returns the
// controls in row order.
std::vector<QWidget *> buildControls(QWidget *window, std::span<const ControlDesign> rows);
