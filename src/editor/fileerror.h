#pragma once

#include "app/error.h"

#include <QString>

// Errors of the system's file calls as the user is told of them: the system's own words
// for the cause and the file or folder it concerns.
namespace FileError {

Error fromErrno(int errnoValue, const QString &fileName);
// The folder is the cause, e.g. of a file that could not be made in it.
Error inFolder(int errnoValue, const QString &folder);
Error withReason(int number, const QString &reason, const QString &fileName);

} // namespace FileError
