#pragma once

// Every command of the menu bar and the toolbar. The command table (commandtable.cpp) holds
// one row for each, in this order.
enum class Command {
    // File
    FileNew, FileOpen, FileSave, FileOpenText, FileSaveAsText, FileExit,
    // Edit
    EditPaste, ClearDocument, SelectAll,
    // Format: colour, size, typeface, strikethrough, bold, bullet, alignment
    ColorBlack, ColorWhite, ColorRed, ColorBlue, ColorGreen,
    Size8, Size10, Size12, Size14, Size16, Size18, Size20, Size38, Size60, Size70,
    FontArialBlack, FontCenturyGothic, FontSmallFonts,
    StrikeTrue, StrikeFalse, BoldTrue, BoldFalse,
    BulletOn, BulletOff,
    AlignCenter, AlignRight, AlignLeft,
    // Tools, View, Insert, Help
    ToolsCalendar,
    ViewMinimize, ViewMaximize, ViewShortcut,
    AutoTextDear, AutoTextHello, AutoTextWelcome, AutoTextHi, AutoTextReturn, InsertDate,
    HelpAbout, HelpShortcut,
    // The toolbar's buttons, left to right
    ButtonNew, ButtonOpen, ButtonSave, ButtonPaste, ButtonUnitalic, ButtonItalic,
    ButtonUnbold, ButtonBold, ButtonUnunderline, ButtonUnderline, ButtonProperties, ButtonHelp,

    Count
};
