#pragma once

#include "mainwindow/menuitems.h"

#include <QMainWindow>

#include <memory>

class CommonDialog;
class ImageList;
struct CommandTargets;
class FormRegistry;
class QToolBar;
class RichTextBox;

// The main window `frmmain`: menu bar, toolbar, editing area and file dialog, built from
// its design. It composes; the commands live beside what they act on.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(FormRegistry &registry);
    ~MainWindow() override;

    RichTextBox *textBox() const { return m_textBox; }
    CommonDialog *commonDialog() const { return m_dialog; }
    QToolBar *toolbar() const { return m_toolbar; }
    const MenuItems &menuItems() const { return m_menuItems; }
    const ImageList *pictures() const { return m_pictures; }
    // What the menu's and toolbar's commands act on; tests swap the clipboard in it.
    CommandTargets &commandTargets() { return *m_commandTargets; }

    // Where the design puts the area below the menu bar, on the screen.
    static QRect designClientArea();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindCommands();

    FormRegistry &m_registry;
    QToolBar *m_toolbar = nullptr;
    RichTextBox *m_textBox = nullptr;
    CommonDialog *m_dialog = nullptr;
    ImageList *m_pictures = nullptr;
    std::unique_ptr<CommandTargets> m_commandTargets;
    MenuItems m_menuItems;
};
