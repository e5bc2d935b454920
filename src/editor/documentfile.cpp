#include "editor/documentfile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace DocumentFile {
namespace {

Error fileError(int number, const QString &reason, const QString &fileName)
{
    return {number, QStringLiteral("%1: \"%2\"").arg(reason, fileName)};
}

int numberFor(QFileDevice::FileError error, const QString &fileName, bool writing)
{
    const QFileInfo info(fileName);
    switch (error) {
    case QFileDevice::PermissionsError: return ErrorNumber::PermissionDenied;
    case QFileDevice::ResourceError: return ErrorNumber::DiskFull;
    case QFileDevice::OpenError:
        if (!info.absoluteDir().exists())
            return ErrorNumber::PathNotFound;
        if (!writing && !info.exists())
            return ErrorNumber::FileNotFound;
        return ErrorNumber::FileAccess;
    default: return ErrorNumber::FileAccess;
    }
}

} // namespace

Result<QByteArray> read(const QString &fileName)
{
    if (fileName.isEmpty())
        return Error{ErrorNumber::FileNotFound, QStringLiteral("No file name was given")};
    if (QFileInfo(fileName).isDir())
        return fileError(ErrorNumber::FileAccess, QStringLiteral("Is a folder, not a file"), fileName);

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fileError(numberFor(file.error(), fileName, false), file.errorString(), fileName);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(numberFor(file.error(), fileName, false), file.errorString(), fileName);
    return bytes;
}

Status write(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return Error{ErrorNumber::FileAccess, QStringLiteral("No file name was given")};
    if (QFileInfo(fileName).isDir())
        return fileError(ErrorNumber::FileAccess, QStringLiteral("Is a folder, not a file"), fileName);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(numberFor(file.error(), fileName, true), file.errorString(), fileName);
    if (file.write(bytes) != bytes.size()) {
        const Error error = fileError(numberFor(file.error(), fileName, true), file.errorString(), fileName);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return fileError(numberFor(file.error(), fileName, true), file.errorString(), fileName);
    return {};
}

} // namespace DocumentFile
