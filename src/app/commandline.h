#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. The window system's own options (-platform, -style, ...)
// are taken out by QApplication before the rest is read.
struct CommandLine {
    enum class Request { Run, Help, Version, Mistake };
    Request request = Request::Run;
    // With Run: the file to open at start, or empty.
    QString file;
    // With Mistake: what was wrong, for the user.
    QString mistake;
};

// Reads the arguments after the program's name. A request for help or the version wins
// wherever it stands, so that it can be answered before any window system is touched.
CommandLine parseCommandLine(const QStringList &arguments);

QString commandLineHelp();
// "Tolvex Brevon 1.00.0001".
QString versionLine();
