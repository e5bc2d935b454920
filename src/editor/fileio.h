#pragma once

#include <QtGlobal>

#include <sys/types.h>

// Whole writes and copies on file descriptors, retried when interrupted; false with errno
// set when they fail, so that the caller can say why.
namespace FileIo {

bool writeAll(int descriptor, const char *data, qint64 size, off_t offset);
// Copies size bytes from the start of one file over the start of the other.
bool copyContents(int from, int to, off_t size);

} // namespace FileIo
