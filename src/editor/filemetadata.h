#pragma once

#include <QByteArray>

#include <sys/stat.h>

// Gives a file made to replace another what the other was: owner, group, mode, access
// control lists and other extended attributes. False when any of it cannot be given, for
// example the owner when the user is not the owner and not root: the file must then not
// be replaced.
bool copyFileMetadata(const struct stat &from, const QByteArray &fromPath, int toDescriptor);
