#pragma once
// Where the tests find the RTF corpus, and reading its files whole.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace rtftest {

inline QString corpusDir()
{
    return qEnvironmentVariable("BREVON_CORPUS_DIR");
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace rtftest
