#include "editor/filemetadata.h"

#include <QList>

#include <cerrno>

#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Access control lists are the attributes system.posix_acl_access and, for folders only,
// system.posix_acl_default, so copying every attribute copies them too.
bool copyExtendedAttributes(const QByteArray &fromPath, int toDescriptor)
{
    ssize_t size = ::listxattr(fromPath.constData(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;
    QByteArray names(size, '\0');
    size = ::listxattr(fromPath.constData(), names.data(), names.size());
    if (size < 0)
        return false;
    names.truncate(size);
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::getxattr(fromPath.constData(), name.constData(), nullptr, 0);
        if (length < 0)
            return false;
        QByteArray value(length, '\0');
        const ssize_t read = ::getxattr(fromPath.constData(), name.constData(), value.data(), value.size());
        if (read < 0 || ::fsetxattr(toDescriptor, name.constData(), value.constData(), size_t(read), 0) != 0)
            return false;
    }
    return true;
}

} // namespace

bool copyFileMetadata(const struct stat &from, const QByteArray &fromPath, int toDescriptor)
{
    // Owner first: changing it clears set-user-ID and set-group-ID bits, which the mode
    // then restores; the mode last, as an access control list sets the group bits.
    return ::fchown(toDescriptor, from.st_uid, from.st_gid) == 0
           && copyExtendedAttributes(fromPath, toDescriptor)
           && ::fchmod(toDescriptor, from.st_mode & 07777) == 0;
}
