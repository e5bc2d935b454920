#include "windows/aboutwindow.h"

#include "windows/windowdesign.h"

#include <QPushButton>

#include <array>
#include <string_view>

namespace {

constexpr WindowDesign Design{"About Brevon", 4680, 2220, QPoint(4845, 4605)};

constexpr FontDesign TitleFont{"MS Sans Serif", 18, 400};

// lbldes is one pixel wider than the client area: its right edge is meant to be cut off.
constexpr std::array<ControlDesign, 3> Controls{{
    {ControlKind::Label, "lbltitle", "Tolvex Brevon", {840, 120, 2895, 495}, 1, {}, TitleFont},
    {ControlKind::Label, "lbldes",
     "Tolvex Brevon is a RTF and Text editor for Windows, you can also save the file you "
     "create with this program in TXT or RTF format.  More format will be supported soon.",
     {0, 720, 4695, 735}, 2},
    {ControlKind::PushButton, "cmncancel", "Cancel", {1560, 1680, 1215, 495}, 0},
}};

constexpr std::size_t CancelRow = 2;
static_assert(std::string_view(Controls[CancelRow].name) == "cmncancel");

} // namespace

AboutWindow::AboutWindow(FormRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("frmabout"));
    applyWindowDesign(this, Design);

    const std::vector<QWidget *> controls = buildControls(this, Controls);
    auto *cancel = qobject_cast<QPushButton *>(controls[CancelRow]);
    connect(cancel, &QPushButton::clicked, this, [this] { m_registry.closeForm(FormKind::About); });
}
