#pragma once

#include "app/result.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and writes with failures as error values that name the file and the
// system's reason.
namespace DocumentFile {

Result<QByteArray> read(const QString &fileName);

// Writes to a temporary file beside the target and renames it over the target, so a
// failed write leaves any existing file as it was and nothing stray behind.
Status write(const QString &fileName, const QByteArray &bytes);

} // namespace DocumentFile
