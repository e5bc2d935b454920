#include "windows/shortcutwindow.h"

#include "windows/windowdesign.h"

#include <QScreen>

#include <array>

namespace {

constexpr WindowDesign Design{"Shortcut ", 2160, 3705, QPoint(13470, 840), 0x000000FF};

// The texts are the card's own and deliberately not derived from the menu's shortcuts.
constexpr std::array<ControlDesign, 9> Controls{{
    {ControlKind::Label, "lbl1", "Copy - Ctrl+C", {0, 120, 2055, 255}, 0},
    {ControlKind::Label, "lbl2", "Cut - Ctrl + X", {0, 480, 2055, 255}, 1},
    {ControlKind::Label, "lbl3", "Paste - Ctrl + P", {0, 840, 2055, 255}, 2},
    {ControlKind::Label, "Label1", "Open RTF - Ctrl + O", {0, 1200, 2055, 255}, 3},
    {ControlKind::Label, "Label2", "Save as RTF - Ctrl + S", {0, 1560, 2055, 255}, 4},
    {ControlKind::Label, "Label3", "Open text - Ctrl + B", {0, 1920, 2055, 255}, 5},
    {ControlKind::Label, "Label4", "Save as text - Ctrl + l", {0, 2280, 2055, 255}, 6},
    {ControlKind::Label, "Label5", "Exit - Ctrl + Q", {0, 2640, 2055, 255}, 7},
    {ControlKind::Label, "Label6", "Help - Ctrl + K", {0, 3000, 2055, 255}, 8},
}};

} // namespace

ShortcutWindow::ShortcutWindow()
{
    setObjectName(QStringLiteral("frmshortcut"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    // Tool windows do not normally keep the program running; this one is as much a window
    // of its own as the others, so the program ends only when it too has closed.
    setAttribute(Qt::WA_QuitOnClose, true);

    applyWindowDesign(this, Design);
    setFixedSize(size());
    // The stored place lies off screens narrower than about 1050 pixels.
    if (const QScreen *display = screen())
        setGeometry(keptInView(geometry(), display->availableGeometry()));

    buildControls(this, Controls);
}
