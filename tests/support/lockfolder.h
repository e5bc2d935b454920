#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include <unistd.h>

// Makes a folder one in which no file can be made or replaced, and back. Root writes into
// read-only folders, so it needs the immutable flag instead of the permissions.
inline bool lockFolder(const QString &path, bool lock)
{
    if (::geteuid() == 0)
        return QProcess::execute(QStringLiteral("chattr"), {lock ? "+i" : "-i", path}) == 0;
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner;
    return QFile::setPermissions(path, lock ? readOnly : readOnly | QFile::WriteOwner);
}
