#pragma once

#include "app/formregistry.h"
#include "editor/colour.h"

#include <QWidget>

// `frmopt`: five buttons that set the main window's editing-area background, and a close
// button. The window keeps no state; the colour lives in the editing area.
class OptionsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit OptionsWindow(FormRegistry &registry);

private:
    void setEditingAreaColour(BgrColour colour);

    FormRegistry &m_registry;
};
