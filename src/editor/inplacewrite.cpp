#include "editor/inplacewrite.h"

#include "editor/fileerror.h"
#include "editor/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Copy {
    int descriptor = -1;
    QByteArray path;
};

// A private file (mode 0600, as the contents may be) in the folder holding the file's
// contents, synced to disk; -1 with errno set when none could be made.
Copy keepCopy(int file, off_t size, const QString &folder, const QString &name)
{
    Copy copy;
    copy.path = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".%1.old-XXXXXX").arg(name)));
    copy.descriptor = ::mkostemp(copy.path.data(), O_CLOEXEC);
    if (copy.descriptor < 0)
        return copy;
    if (!FileIo::copyContents(file, copy.descriptor, size) || ::fsync(copy.descriptor) != 0) {
        const int cause = errno;
        ::close(copy.descriptor);
        ::unlink(copy.path.constData());
        copy.descriptor = -1;
        errno = cause;
    }
    return copy;
}

} // namespace

Status writeInPlace(const QString &fileName, const struct stat &old, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int file = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (file < 0)
        return FileError::fromErrno(errno, fileName);
    const auto closeFile = qScopeGuard([file] { ::close(file); });
    struct stat opened;
    if (::fstat(file, &opened) != 0 || opened.st_dev != old.st_dev || opened.st_ino != old.st_ino) {
        return FileError::withReason(ErrorNumber::FileAccess,
                                     QStringLiteral("The file was replaced while it was saved; nothing was written"),
                                     fileName);
    }

    // Beside the file first; a full or locked folder may still leave room elsewhere.
    const QFileInfo info(fileName);
    Copy copy = keepCopy(file, old.st_size, info.absolutePath(), info.fileName());
    if (copy.descriptor < 0)
        copy = keepCopy(file, old.st_size, QDir::tempPath(), info.fileName());
    if (copy.descriptor < 0) {
        const Error cause = FileError::fromErrno(errno, fileName);
        return Error{cause.number, QStringLiteral("%1 (no copy of the old contents could be kept to write the "
                                                  "file in place, so nothing was written)")
                                       .arg(cause.description)};
    }
    const auto closeCopy = qScopeGuard([&copy] { ::close(copy.descriptor); });
    const QString copyName = QFile::decodeName(copy.path);

    if (bytes.size() > old.st_size) {
        if (const int cause = ::posix_fallocate(file, 0, bytes.size()); cause != 0 && cause != EOPNOTSUPP && cause != EINVAL) {
            ::ftruncate(file, old.st_size); // a partly reserved length reads as zeros past the old end
            ::unlink(copy.path.constData());
            return FileError::fromErrno(cause, fileName);
        }
    }
    if (FileIo::writeAll(file, bytes.constData(), bytes.size(), 0) && ::ftruncate(file, bytes.size()) == 0
        && ::fsync(file) == 0) {
        ::unlink(copy.path.constData());
        return {};
    }

    const Error failure = FileError::fromErrno(errno, fileName);
    if (FileIo::copyContents(copy.descriptor, file, old.st_size) && ::ftruncate(file, old.st_size) == 0
        && ::fsync(file) == 0) {
        ::unlink(copy.path.constData());
        return Error{failure.number, QStringLiteral("%1; the old contents were put back").arg(failure.description)};
    }
    return Error{failure.number, QStringLiteral("%1; the old contents are kept in \"%2\"")
                                     .arg(failure.description, QDir::toNativeSeparators(copyName))};
}
