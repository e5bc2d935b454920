#include "mainwindow/menutable.h"

#include "commands/commandtable.h"

#include <vector>

namespace {

MenuRow submenu(int level, std::string_view name, std::string_view caption)
{
    return {level, name, caption, {}, MenuItemRole::Submenu};
}

MenuRow item(int level, Command id)
{
    const CommandRow &command = commandRow(id);
    return {level, command.name, command.caption, command.shortcut, MenuItemRole::Command, true,
            command.checkable, id};
}

MenuRow inert(int level, std::string_view name, std::string_view caption, bool enabled)
{
    return {level, name, caption, {}, MenuItemRole::Nothing, enabled};
}

using C = Command;

// The whole menu bar. "Background color" runs nothing (the Options window sets the
// background and opens from the toolbar).
std::vector<MenuRow> buildRows()
{
    return {
        submenu(1, "mnufile", "File"),
        item(2, C::FileNew),
        item(2, C::FileOpen),
        item(2, C::FileSave),
        inert(2, "mnufiledivider", "---------------------------------------------", false),
        item(2, C::FileOpenText),
        item(2, C::FileSaveAsText),
        item(2, C::FileExit),
        submenu(1, "mnuedit", "Edit"),
        item(2, C::EditPaste),
        inert(2, "mnueditbackcolor", "Background color", true),
        item(2, C::ClearDocument),
        item(2, C::SelectAll),
        submenu(1, "mnuformat", "Format"),
        submenu(2, "mnuformatcolor", "Color"),
        item(3, C::ColorBlack),
        item(3, C::ColorWhite),
        item(3, C::ColorRed),
        item(3, C::ColorBlue),
        item(3, C::ColorGreen),
        submenu(2, "menuformatsize", "Size"),
        item(3, C::Size8),
        item(3, C::Size10),
        item(3, C::Size12),
        item(3, C::Size14),
        item(3, C::Size16),
        item(3, C::Size18),
        item(3, C::Size20),
        item(3, C::Size38),
        item(3, C::Size60),
        item(3, C::Size70),
        submenu(2, "mnuformatfont", "Font"),
        item(3, C::FontArialBlack),
        item(3, C::FontCenturyGothic),
        item(3, C::FontSmallFonts),
        submenu(2, "mnustyle", "Style"),
        submenu(3, "mnustrike", "Strikethrough"),
        item(4, C::StrikeTrue),
        item(4, C::StrikeFalse),
        submenu(3, "mnustylebold", "Bold"),
        item(4, C::BoldTrue),
        item(4, C::BoldFalse),
        submenu(2, "mnubullet", "Bullet"),
        item(3, C::BulletOn),
        item(3, C::BulletOff),
        submenu(2, "Alignment", "Alignment"),
        item(3, C::AlignCenter),
        item(3, C::AlignRight),
        item(3, C::AlignLeft),
        submenu(1, "mnutools", "Tools"),
        item(2, C::ToolsCalendar),
        submenu(1, "mnuview", "View"),
        item(2, C::ViewMinimize),
        item(2, C::ViewMaximize),
        item(2, C::ViewShortcut),
        submenu(1, "mnuinsert", "Insert"),
        submenu(2, "mnuautotext", "Auto Text"),
        item(3, C::AutoTextDear),
        item(3, C::AutoTextHello),
        item(3, C::AutoTextWelcome),
        item(3, C::AutoTextHi),
        item(3, C::AutoTextReturn),
        item(2, C::InsertDate),
        submenu(1, "mnuhelp", "Help"),
        item(2, C::HelpAbout),
        item(2, C::HelpShortcut),
    };
}

} // namespace

std::span<const MenuRow> menuRows()
{
    static const std::vector<MenuRow> rows = buildRows();
    return rows;
}
