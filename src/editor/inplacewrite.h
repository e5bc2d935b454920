#pragma once

#include "app/error.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Writes over an existing regular file's contents in place, for when replacing the file
// would break its hard links or lose its owner, or no new file can be made beside it.
//
// A copy of the old contents is made first (beside the file, else in the temporary folder)
// and synced to disk. Room for the new contents is reserved before the first byte is
// written, so a full disk stops the save while the file is still untouched. A failure after
// that puts the old contents back from the copy; should even that fail, the copy stays and
// the message names it. The copy goes only once the new contents are on disk.
Status writeInPlace(const QString &fileName, const struct stat &old, const QByteArray &bytes);
