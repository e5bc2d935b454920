#pragma once

#include "app/formregistry.h"

#include <QWidget>

// `frmabout`: the program's name and description, and a button that closes the window.
class AboutWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AboutWindow(FormRegistry &registry);

private:
    FormRegistry &m_registry;
};
