#pragma once

#include "app/formregistry.h"
#include "mainwindow/mainwindow.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

// A registry whose main window is real and whose secondary windows are plain stand-ins.
inline FormRegistry::Factories mainWindowOnly()
{
    FormRegistry::Factories factories;
    factories[0] = [](FormRegistry &registry) -> QWidget * { return new MainWindow(registry); };
    for (int kind = 1; kind < FormKindCount; ++kind)
        factories[kind] = [](FormRegistry &) -> QWidget * { return new QWidget; };
    return factories;
}

// The character format of the character at `position`.
inline QTextCharFormat formatAt(const QTextDocument *document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}
