#include "editor/documentfile.h"

#include "editor/fileerror.h"
#include "editor/filemetadata.h"
#include "editor/hugepages.h"
#include "editor/fileio.h"
#include "editor/inplacewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DocumentFile {
namespace {

// Nothing for a regular file; the refusal for anything else.
std::optional<Error> refuseUnlessRegular(const struct stat &status, const QString &fileName)
{
    if (S_ISREG(status.st_mode))
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return FileError::withReason(ErrorNumber::FileAccess, QStringLiteral("Is a folder, not a file"), fileName);
    const QString kind = S_ISFIFO(status.st_mode)                               ? QStringLiteral("a FIFO")
                         : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? QStringLiteral("a device")
                         : S_ISSOCK(status.st_mode)                            ? QStringLiteral("a socket")
                                                                               : QStringLiteral("no file");
    return FileError::withReason(ErrorNumber::FileAccess,
                                 QStringLiteral("Not a regular file but %1; only files are read and written").arg(kind),
                                 fileName);
}

Error tooLarge(const QString &fileName)
{
    return FileError::withReason(ErrorNumber::OutOfMemory,
                                 QStringLiteral("Too large to open; files of at most %1 MiB are read")
                                     .arg(MaxReadSize >> 20),
                                 fileName);
}

int numberFor(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::PermissionsError: return ErrorNumber::PermissionDenied;
    case QFileDevice::ResourceError: return ErrorNumber::DiskFull;
    default: return ErrorNumber::FileAccess;
    }
}

Error saveFileError(const QSaveFile &file, const QString &fileName)
{
    return FileError::withReason(numberFor(file.error()), file.errorString(), fileName);
}

// The reason a new file cannot be made in the folder, when the folder is the reason.
std::optional<Error> folderRefuses(const QString &folder)
{
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return std::nullopt;
    return FileError::inFolder(errno, folder);
}

// Replaces the file with a new one made beside it. Nothing when that cannot be done
// without changing what the file is, or when no file can be made there at all: the
// caller then writes in place (an existing file) or reports the cause (a new one).
std::optional<Status> replace(const QString &fileName, const QByteArray &bytes, const struct stat *old)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return std::nullopt;
    if (old && !copyFileMetadata(*old, QFile::encodeName(fileName), file.handle())) {
        file.cancelWriting();
        return std::nullopt;
    }
    // Written past Qt, whose message for a full disk is "Unknown error".
    if (!FileIo::writeAll(file.handle(), bytes.constData(), bytes.size(), 0) || ::fsync(file.handle()) != 0) {
        const Error error = FileError::fromErrno(errno, fileName);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return saveFileError(file, fileName);
    return Status();
}

// The file opened for reading, once it is known to be a regular one; its status in `status`.
Result<int> openRegular(const QString &fileName, struct stat &status)
{
    if (fileName.isEmpty())
        return Error{ErrorNumber::FileNotFound, QStringLiteral("No file name was given")};
    const QByteArray path = QFile::encodeName(fileName);
    // Looked at before it is opened: opening a device can have effects of its own.
    if (::stat(path.constData(), &status) != 0)
        return FileError::fromErrno(errno, fileName);
    if (auto refusal = refuseUnlessRegular(status, fileName))
        return *refusal;

    // Never waits, should the name have become a FIFO since.
    const int file = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return FileError::fromErrno(errno, fileName);
    if (::fstat(file, &status) != 0) {
        const Error error = FileError::fromErrno(errno, fileName);
        ::close(file);
        return error;
    }
    if (auto refusal = refuseUnlessRegular(status, fileName)) {
        ::close(file);
        return *refusal;
    }
    return file;
}

// Reads until `size` bytes are in or the file ends: how many came.
Result<qsizetype> fill(int file, char *into, qsizetype size, const QString &fileName)
{
    qsizetype got = 0;
    while (got < size) {
        const ssize_t read = ::read(file, into + got, size_t(size - got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return FileError::fromErrno(errno, fileName);
        if (read == 0)
            break;
        got += read;
    }
    return got;
}

} // namespace

Result<QByteArray> read(const QString &fileName)
{
    struct stat status;
    const Result<int> opened = openRegular(fileName, status);
    if (!opened.ok())
        return opened.error();
    const int file = opened.value();
    const auto closeFile = qScopeGuard([file] { ::close(file); });
    if (status.st_size > MaxReadSize)
        return tooLarge(fileName);

    // The size may change while it is read: read to the end, but never past the limit.
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    preferHugePages(bytes.data(), bytes.size());
    qsizetype length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (length > MaxReadSize)
                return tooLarge(fileName);
            // Room to find the end, or more that came since the size was taken.
            const qsizetype room = std::max<qsizetype>(1 << 16, length / 4);
            bytes.resize(qsizetype(std::min<qint64>(length + room, MaxReadSize + 1)));
        }
        const Result<qsizetype> got = fill(file, bytes.data() + length, bytes.size() - length, fileName);
        if (!got.ok())
            return got.error();
        length += got.value();
        if (length < bytes.size())
            break;
    }
    bytes.truncate(length);
    return bytes;
}

Result<QByteArray> readStart(const QString &fileName, qsizetype length)
{
    struct stat status;
    const Result<int> opened = openRegular(fileName, status);
    if (!opened.ok())
        return opened.error();
    const int file = opened.value();
    const auto closeFile = qScopeGuard([file] { ::close(file); });
    QByteArray bytes(length, Qt::Uninitialized);
    const Result<qsizetype> got = fill(file, bytes.data(), length, fileName);
    if (!got.ok())
        return got.error();
    bytes.truncate(got.value());
    return bytes;
}

Status write(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return Error{ErrorNumber::FileAccess, QStringLiteral("No file name was given")};
    // A symbolic link stays as it is: the file it points at is the one written.
    QString target = fileName;
    if (const QFileInfo link(fileName); link.isSymLink())
        target = link.exists() ? link.canonicalFilePath() : link.symLinkTarget();
    const QByteArray path = QFile::encodeName(target);

    struct stat old;
    if (::stat(path.constData(), &old) == 0) {
        if (auto refusal = refuseUnlessRegular(old, target))
            return *refusal;
        if (old.st_nlink > 1)
            return writeInPlace(target, old, bytes);
        if (auto replaced = replace(target, bytes, &old))
            return *replaced;
        return writeInPlace(target, old, bytes);
    }
    if (errno != ENOENT)
        return FileError::fromErrno(errno, target);

    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir())
        return FileError::withReason(ErrorNumber::PathNotFound, QStringLiteral("No such folder"), target);
    if (auto replaced = replace(target, bytes, nullptr))
        return *replaced;
    if (auto refusal = folderRefuses(folder))
        return *refusal;
    return FileError::withReason(ErrorNumber::FileAccess, QStringLiteral("No file could be made"), target);
}

} // namespace DocumentFile
