#include "editor/fileio.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace FileIo {

bool writeAll(int descriptor, const char *data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(descriptor, data, size_t(size), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        size -= written;
        offset += written;
    }
    return true;
}

bool copyContents(int from, int to, off_t size)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (off_t offset = 0; offset < size;) {
        const ssize_t read = ::pread(from, buffer.data(), size_t(std::min<off_t>(buffer.size(), size - offset)), offset);
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0) {
            if (read == 0)
                errno = EIO; // the file became shorter while it was copied
            return false;
        }
        if (!writeAll(to, buffer.constData(), read, offset))
            return false;
        offset += read;
    }
    return true;
}

} // namespace FileIo
