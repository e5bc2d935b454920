#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The main window's file dialog `CommonDialog1`: one long-lived object that keeps the
// filter set last and the file name chosen last (open and save share it). A filter is
// written "description|pattern" and offers exactly one file type.
class CommonDialog : public QObject
{
    Q_OBJECT
public:
    explicit CommonDialog(QWidget *owner);

    void setFilter(const QString &filter);
    QString filter() const { return m_filter; }
    // Empty until the user first confirms a choice.
    QString fileName() const { return m_fileName; }

    // Show the system's dialog modally; true when the user confirmed a file.
    bool showOpen();
    bool showSave();

    // The type entry a filter shows in the dialog, e.g. "RTF files (*.RTF)".
    static QString nameFilterFor(const QString &filter);

private:
    bool show(bool save);

    QWidget *m_owner;
    QString m_filter;
    QString m_fileName;
};
