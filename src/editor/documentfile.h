#pragma once

#include "app/result.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and writes with failures as error values that name the file and the
// system's reason. Only regular files are read or written: a FIFO, a device or a socket
// is refused as it is, and never waited on.
namespace DocumentFile {

// The largest file read. Every byte becomes at least half a character of two bytes, and
// the editing area counts characters in int, so 1 GiB of text is about what it holds
// (2 GiB as characters, 2^30 of them); a larger file is refused before it fills memory.
inline constexpr qint64 MaxReadSize = qint64(1) << 30;

Result<QByteArray> read(const QString &fileName);
// At most the first `length` bytes, for a look at what kind of file it is; refuses what
// read refuses, but for being too large.
Result<QByteArray> readStart(const QString &fileName, qsizetype length);

// A file is replaced atomically by a temporary file beside it that takes on its owner,
// group, mode and extended attributes (access control lists among them), so a failed
// write leaves it as it was. Where that cannot be done without changing what the file is
// (it has other hard links, its owner or an attribute cannot be given to the new file) or
// no file can be made in its folder, the file is written in place (see inplacewrite.h).
// A symbolic link keeps pointing at the file it pointed at, which is written.
Status write(const QString &fileName, const QByteArray &bytes);

} // namespace DocumentFile
