#include "commands/commandtable.h"

#include "app/failurepath.h"
#include "app/formregistry.h"
#include "commands/formatsteps.h"
#include "editor/editcommands.h"
#include "editor/filecommands.h"
#include "editor/richtextbox.h"

#include <QtGlobal>

namespace {

using Build = std::function<Steps(CommandTargets &)>;

// The toolbar's Open names its type "RTF file", its Save "RTF files".
const QString toolbarOpenFilter = QStringLiteral("RTF file (*.RTF)|*.RTF");
const QString toolbarSaveFilter = QStringLiteral("RTF files (*.RTF)|*.RTF");

Build open(const QString &filter, DocumentKind kind)
{
    return [filter, kind](CommandTargets &t) { return openFileSteps(t.box, t.dialog, filter, kind); };
}

Build save(const QString &filter, DocumentKind kind)
{
    return [filter, kind](CommandTargets &t) { return saveFileSteps(t.box, t.dialog, filter, kind); };
}

Steps clear(CommandTargets &t)
{
    return clearDocumentSteps(t.box);
}

Steps paste(CommandTargets &t)
{
    return pasteSteps(t.box, t.clipboard);
}

template<typename F>
Build act(F action)
{
    return [action](CommandTargets &t) -> Steps { return {infallible([&t, action] { action(t); })}; };
}

Build showForm(FormKind kind)
{
    return act([kind](CommandTargets &t) { t.registry.showForm(kind); });
}

Build setWindowState(MainWindowState state)
{
    return act([state](CommandTargets &t) { t.registry.setWindowState(state); });
}

Build insertText(const QString &text)
{
    return [text](CommandTargets &t) { return insertTextSteps(t.box, text); };
}

// The designed alignments: 0 left, 1 right, 2 centre. Left and right hold whatever the
// text's direction.
Build align(qint16 designed)
{
    const Qt::Alignment alignment = designed == 1   ? Qt::AlignRight | Qt::AlignAbsolute
                                    : designed == 2 ? Qt::Alignment(Qt::AlignHCenter)
                                                    : Qt::AlignLeft | Qt::AlignAbsolute;
    return [alignment](CommandTargets &t) { return alignSteps(t.box, alignment); };
}

Build bullets(bool on)
{
    return [on](CommandTargets &t) { return bulletSteps(t.box, on); };
}

Build format(FormatValue value, std::vector<FormatStep> order)
{
    return [value, order = std::move(order)](CommandTargets &t) { return formatSteps(value, order, t); };
}

template<void (RichTextBox::*set)(bool), bool on>
Steps setStyle(CommandTargets &t)
{
    return {infallible([&box = t.box] { (box.*set)(on); })};
}

// The three kinds of row: a menu command, a menu item with a check mark, a toolbar button.
CommandRow menu(Command id, std::string_view name, std::string_view caption, std::string_view shortcut,
                Build steps)
{
    return {id, name, caption, shortcut, {}, OnFailure::Report, false, std::move(steps)};
}

CommandRow marked(Command id, std::string_view name, std::string_view caption, Build steps)
{
    return {id, name, caption, {}, {}, OnFailure::Report, true, std::move(steps)};
}

CommandRow button(Command id, std::string_view key, std::string_view tooltip, Build steps)
{
    return {id, key, tooltip, {}, key, OnFailure::PassOver, false, std::move(steps)};
}

using C = Command;
constexpr Mark Set = Mark::Set;
constexpr Mark Clear = Mark::Clear;

std::vector<CommandRow> buildRows()
{
    return {
        menu(C::FileNew, "mnufilenew", "New file", "", clear),
        menu(C::FileOpen, "mnufileopen", "Open RTF", "Ctrl+O", open(FileFilter::Rtf, DocumentKind::Rtf)),
        menu(C::FileSave, "mnufilesave", "Save as RTF", "Ctrl+S", save(FileFilter::Rtf, DocumentKind::Rtf)),
        menu(C::FileOpenText, "mnufileopentext", "Open text", "Ctrl+B",
             open(FileFilter::Text, DocumentKind::PlainText)),
        menu(C::FileSaveAsText, "mnufilesaveastext", "Save as text", "Ctrl+I",
             save(FileFilter::Text, DocumentKind::PlainText)),
        menu(C::FileExit, "mnufileexit", "Exit", "Ctrl+Q", act([](CommandTargets &t) { t.registry.endProgram(); })),

        menu(C::EditPaste, "mnueditpaste", "Paste", "Ctrl+P", paste),
        menu(C::ClearDocument, "mnucleardoc", "Clear document", "", clear),
        // Selects the whole document.
        menu(C::SelectAll, "mnuselectall", "Select all", "Ctrl+A", act([](CommandTargets &t) { t.box.selectWholeDocument(); })),

        // Marks are indicators only; the order of steps is kept exactly, so a step that fails
        // leaves the marks of the steps before it.
        marked(C::ColorBlack, "mnucolorblack", "Black",
               format(TextColour{0x000000}, {{Set, C::ColorBlack}, {Clear, C::ColorRed}, {Clear, C::ColorWhite},
                                             {Clear, C::ColorBlue}, Apply, {Clear, C::ColorGreen}})),
        marked(C::ColorWhite, "mnucolorwhite", "White",
               format(TextColour{0xFFFFFF}, {{Clear, C::ColorBlack}, {Set, C::ColorWhite}, {Clear, C::ColorRed},
                                             {Clear, C::ColorBlue}, {Clear, C::ColorGreen}, Apply})),
        marked(C::ColorRed, "mnucolorred", "Red",
               format(TextColour{0x0000FF}, {{Clear, C::ColorBlack}, {Clear, C::ColorWhite}, {Set, C::ColorRed},
                                             {Clear, C::ColorBlue}, {Clear, C::ColorGreen}, Apply})),
        marked(C::ColorBlue, "mnucolorblue", "Blue",
               format(TextColour{0xFF0000}, {{Clear, C::ColorBlack}, {Clear, C::ColorWhite}, {Clear, C::ColorRed},
                                             Apply, {Set, C::ColorBlue}, {Clear, C::ColorGreen}})),
        marked(C::ColorGreen, "mnucolorgreen", "Green",
               format(TextColour{0x00FF00}, {{Clear, C::ColorBlack}, {Clear, C::ColorWhite}, {Clear, C::ColorRed},
                                             Apply, {Clear, C::ColorBlue}, {Set, C::ColorGreen}})),

        marked(C::Size8, "mnuformatsize8", "8",
               format(FontSize{8}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Set, C::Size8},
                                    {Clear, C::Size10}, {Clear, C::Size18}, {Clear, C::Size20}, {Clear, C::Size38},
                                    {Clear, C::Size60}, {Clear, C::Size70}, Apply})),
        marked(C::Size10, "mnuformatsize10", "10",
               format(FontSize{10}, {{Set, C::Size10}, {Clear, C::Size8}, {Clear, C::Size12}, {Clear, C::Size14},
                                     {Clear, C::Size16}, {Clear, C::Size18}, {Clear, C::Size38}, Apply,
                                     {Clear, C::Size20}, {Clear, C::Size60}, {Clear, C::Size70}})),
        marked(C::Size12, "mnuformatsize12", "12",
               format(FontSize{12}, {{Clear, C::Size14}, {Clear, C::Size10}, {Clear, C::Size16}, {Clear, C::Size8},
                                     {Set, C::Size12}, {Clear, C::Size18}, {Clear, C::Size38}, Apply,
                                     {Clear, C::Size20}, {Clear, C::Size60}, {Clear, C::Size70}})),
        marked(C::Size14, "mnuformatsize14", "14",
               format(FontSize{14}, {{Clear, C::Size12}, {Clear, C::Size8}, {Clear, C::Size10}, {Set, C::Size14},
                                     {Clear, C::Size16}, {Clear, C::Size18}, {Clear, C::Size38}, Apply,
                                     {Clear, C::Size20}, {Clear, C::Size60}, {Clear, C::Size70}})),
        marked(C::Size16, "mnuformatsize16", "16",
               format(FontSize{16}, {{Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8}, {Clear, C::Size10},
                                     {Set, C::Size16}, {Clear, C::Size18}, {Clear, C::Size20}, {Clear, C::Size38},
                                     {Clear, C::Size60}, {Clear, C::Size70}, Apply})),
        marked(C::Size18, "mnuformatsize18", "18",
               format(FontSize{18}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8},
                                     {Clear, C::Size10}, {Set, C::Size18}, {Clear, C::Size38}, Apply,
                                     {Clear, C::Size20}, {Clear, C::Size60}, {Clear, C::Size70}})),
        marked(C::Size20, "mnuformatsize20", "20",
               format(FontSize{20}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8},
                                     {Clear, C::Size10}, {Clear, C::Size18}, {Set, C::Size20}, {Clear, C::Size38},
                                     {Clear, C::Size60}, {Clear, C::Size70}, Apply})),
        marked(C::Size38, "mnuformatsize38", "38",
               format(FontSize{38}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8},
                                     {Clear, C::Size10}, {Clear, C::Size18}, {Clear, C::Size20}, {Set, C::Size38},
                                     {Clear, C::Size60}, {Clear, C::Size70}, Apply})),
        // The item captioned "60" sets 30 points, and the one captioned "78" sets 70.
        marked(C::Size60, "mnuformatsize60", "60",
               format(FontSize{30}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8},
                                     {Clear, C::Size10}, {Clear, C::Size18}, {Clear, C::Size20}, {Clear, C::Size38},
                                     {Set, C::Size60}, {Clear, C::Size70}, Apply})),
        marked(C::Size70, "mnuformatsize70", "78",
               format(FontSize{70}, {{Clear, C::Size16}, {Clear, C::Size12}, {Clear, C::Size14}, {Clear, C::Size8},
                                     {Clear, C::Size10}, {Clear, C::Size18}, {Clear, C::Size20}, {Clear, C::Size38},
                                     {Clear, C::Size60}, Apply, {Set, C::Size70}})),

        // Typefaces are passed exactly as named here, which is not always their caption.
        marked(C::FontArialBlack, "mnuformatfontarialblack", "Arial Black",
               format(FontName{"arial black"}, {{Clear, C::FontCenturyGothic}, {Clear, C::FontSmallFonts},
                                                {Set, C::FontArialBlack}, Apply})),
        marked(C::FontCenturyGothic, "mnuformatfontCenturyGothic", "CenturyGothic",
               format(FontName{"Century Gothic"}, {{Clear, C::FontArialBlack}, Apply, {Set, C::FontCenturyGothic},
                                                   {Clear, C::FontSmallFonts}})),
        marked(C::FontSmallFonts, "mnuformatfontSmallFonts", "Small Fonts",
               format(FontName{"Small Fonts"}, {{Clear, C::FontArialBlack}, Apply, {Clear, C::FontCenturyGothic},
                                                {Set, C::FontSmallFonts}})),

        // Bold "False" never carries a mark, and neither "True" clears its "False" item.
        marked(C::StrikeTrue, "mnustriketrue", "True", format(Strikethrough{true}, {Apply, {Set, C::StrikeTrue}})),
        marked(C::StrikeFalse, "mnustrikefalse", "False",
               format(Strikethrough{false}, {Apply, {Clear, C::StrikeTrue}, {Set, C::StrikeFalse}})),
        marked(C::BoldTrue, "mnuboldtrue", "True", format(Bold{true}, {{Set, C::BoldTrue}, Apply})),
        marked(C::BoldFalse, "mnuboldfalse", "False",
               format(Bold{false}, {{Clear, C::BoldFalse}, Apply, {Clear, C::BoldTrue}})),

        menu(C::BulletOn, "on", "on", "", bullets(true)),
        menu(C::BulletOff, "off", "off", "", bullets(false)),
        menu(C::AlignCenter, "center", "Center", "", align(2)),
        menu(C::AlignRight, "right", "Right", "", align(1)),
        menu(C::AlignLeft, "left", "Left", "", align(0)),

        menu(C::ToolsCalendar, "mnutoolscalendars", "Calendar", "", showForm(FormKind::Calendar)),
        menu(C::ViewMinimize, "mnuviewmini", "Minimize", "", setWindowState(MainWindowState::Minimized)),
        menu(C::ViewMaximize, "mnuviewmax", "Maximized", "", setWindowState(MainWindowState::Maximized)),
        menu(C::ViewShortcut, "shortcut", "Shortcut", "", showForm(FormKind::Shortcut)),
        menu(C::AutoTextDear, "mnuautotextdear", "Dear", "", insertText(QStringLiteral("Dear"))),
        menu(C::AutoTextHello, "mnuautotexthello", "Hello", "", insertText(QStringLiteral("Hello"))),
        menu(C::AutoTextWelcome, "mnuautowelcome", "Welcome", "", insertText(QStringLiteral("Welcome"))),
        menu(C::AutoTextHi, "hi", "Hi", "", insertText(QStringLiteral("Hi"))),
        menu(C::AutoTextReturn, "return", "Return", "", insertText(QStringLiteral("Return"))),
        // A fixed text, never today's date.
        menu(C::InsertDate, "mnuinsertdate", "Date", "", insertText(QStringLiteral("00/00/2002"))),
        menu(C::HelpAbout, "mnuhelpabout", "About", "Ctrl+K", showForm(FormKind::About)),
        menu(C::HelpShortcut, "mnushortcut", "Shortcut", "", showForm(FormKind::Shortcut)),

        // The toolbar sets a style, never toggles it, and touches no menu check mark. A button
        // with no tooltip is the "off" partner of the one right of it.
        button(C::ButtonNew, "New", "New", clear),
        button(C::ButtonOpen, "Open", "Open", open(toolbarOpenFilter, DocumentKind::Rtf)),
        button(C::ButtonSave, "Save", "Save", save(toolbarSaveFilter, DocumentKind::Rtf)),
        button(C::ButtonPaste, "Paste", "Paste", paste),
        button(C::ButtonUnitalic, "uni", "", setStyle<&RichTextBox::setSelectionItalic, false>),
        button(C::ButtonItalic, "Italic", "Italic", setStyle<&RichTextBox::setSelectionItalic, true>),
        button(C::ButtonUnbold, "unbold1", "", setStyle<&RichTextBox::setSelectionBold, false>),
        button(C::ButtonBold, "Bold", "Bold", setStyle<&RichTextBox::setSelectionBold, true>),
        button(C::ButtonUnunderline, "ununderline", "", setStyle<&RichTextBox::setSelectionUnderline, false>),
        button(C::ButtonUnderline, "Underline", "Underline", setStyle<&RichTextBox::setSelectionUnderline, true>),
        button(C::ButtonProperties, "Properties", "Properties", showForm(FormKind::Options)),
        button(C::ButtonHelp, "Help", "Help", showForm(FormKind::About)),
    };
}

} // namespace

std::span<const CommandRow> commandRows()
{
    static const std::vector<CommandRow> rows = [] {
        std::vector<CommandRow> built = buildRows();
        // Checked in every build type: a row out of place would run another command.
        if (built.size() != size_t(Command::Count))
            qFatal("command table has %zu rows for %d commands", built.size(), int(Command::Count));
        for (size_t i = 0; i < built.size(); ++i) {
            if (built[i].id != Command(i))
                qFatal("command table row %zu is out of order", i);
        }
        return built;
    }();
    return rows;
}

const CommandRow &commandRow(Command id)
{
    const auto rows = commandRows();
    const auto index = size_t(id);
    if (index >= rows.size())
        qFatal("no command numbered %zu", index);
    return rows[index];
}

void runCommand(Command id, CommandTargets &targets)
{
    const CommandRow &row = commandRow(id);
    const Steps steps = row.steps(targets);
    if (row.onFailure == OnFailure::Report)
        FailurePath::run(steps);
    else
        runStepsIgnoringFailures(steps);
}
