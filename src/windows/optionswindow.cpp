#include "windows/optionswindow.h"

#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "windows/windowdesign.h"

#include <QPushButton>

#include <array>
#include <string_view>

namespace {

constexpr WindowDesign Design{"Options", 2910, 2550};

// A colour button's face is the colour it gives the editing area.
constexpr std::array<ControlDesign, 7> Controls{{
    {ControlKind::Label, "Label1", "Text box's background color.", {120, 120, 2415, 375}, 0},
    {ControlKind::PushButton, "cmnblue", "Blue", {120, 600, 2535, 255}, 1, 0x00FF0000},
    {ControlKind::PushButton, "cmnred", "Red", {120, 840, 2535, 255}, 2, 0x000000FF},
    {ControlKind::PushButton, "cmnyellow", "Yellow", {120, 1080, 2535, 255}, 3, 0x0000FFFF},
    {ControlKind::PushButton, "cmnblack", "Black", {120, 1320, 2535, 255}, 4, 0x00000000},
    {ControlKind::PushButton, "cmnwhite", "White", {120, 1560, 2535, 255}, 5, 0x00FFFFFF},
    {ControlKind::PushButton, "cmnclose", "Cl&ose", {840, 1920, 1215, 495}, 6},
}};

} // namespace

OptionsWindow::OptionsWindow(FormRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("frmopt"));
    applyWindowDesign(this, Design);

    const std::vector<QWidget *> controls = buildControls(this, Controls);
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        auto *button = qobject_cast<QPushButton *>(controls[i]);
        if (!button)
            continue;
        if (std::string_view(Controls[i].name) == "cmnclose") {
            connect(button, &QPushButton::clicked, this,
                    [this] { m_registry.closeForm(FormKind::Options); });
        } else {
            connect(button, &QPushButton::clicked, this,
                    [this, colour = Controls[i].backColour.value()] { setEditingAreaColour(colour); });
        }
    }
}

void OptionsWindow::setEditingAreaColour(BgrColour colour)
{
    // Once the main window has been closed there is no editing area left to colour; building
    // a hidden main window for it would only keep the program running unseen.
    auto *mainWindow = qobject_cast<MainWindow *>(m_registry.form(FormKind::Main));
    if (!mainWindow)
        return;
    mainWindow->textBox()->setBackColor(colourFromBgr(colour));
}
