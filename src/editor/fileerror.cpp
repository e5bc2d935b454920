#include "editor/fileerror.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace FileError {
namespace {

int numberFor(int errnoValue, const QString &fileName)
{
    switch (errnoValue) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ErrorNumber::DiskFull;
    case EACCES:
    case EPERM: return ErrorNumber::PermissionDenied;
    case ENOTDIR: return ErrorNumber::PathNotFound;
    case ENOENT:
        return QFileInfo(fileName).absoluteDir().exists() ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound;
    default: return ErrorNumber::FileAccess;
    }
}

QString reasonFor(int errnoValue)
{
    return QString::fromLocal8Bit(std::strerror(errnoValue));
}

} // namespace

Error withReason(int number, const QString &reason, const QString &fileName)
{
    return {number, QStringLiteral("%1: \"%2\"").arg(reason, QDir::toNativeSeparators(fileName))};
}

Error fromErrno(int errnoValue, const QString &fileName)
{
    return withReason(numberFor(errnoValue, fileName), reasonFor(errnoValue), fileName);
}

Error inFolder(int errnoValue, const QString &folder)
{
    return {numberFor(errnoValue, folder),
            QStringLiteral("%1: no file can be made in the folder \"%2\"")
                .arg(reasonFor(errnoValue), QDir::toNativeSeparators(folder))};
}

} // namespace FileError
