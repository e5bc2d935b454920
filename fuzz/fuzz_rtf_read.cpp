// libFuzzer target: any bytes through the reader, then what was read through the writer
// and the reader again. Crashes, hangs and leaks are findings; so is a document that reads
// back other than it was read, and a second save that differs from the first.
#include "documentdump.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Both dumps from the first line they differ on, so that a finding says what changed.
[[noreturn]] void differs(const QString &read, const QString &readBack)
{
    const QStringList a = read.split(u'\n'), b = readBack.split(u'\n');
    qsizetype line = 0;
    while (line < a.size() && line < b.size() && a[line] == b[line])
        ++line;
    std::fprintf(stderr, "read back differs from line %lld:\n--- read\n%s\n--- read back\n%s\n",
                 static_cast<long long>(line + 1), qPrintable(a.mid(line, 12).join(u'\n')),
                 qPrintable(b.mid(line, 12).join(u'\n')));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTextDocument document;
    if (rtf::read(QByteArrayView(data, qsizetype(size)), document))
        return 0;
    const QString read = rtftest::dump(document);
    const QByteArray first = rtf::write(document);
    QTextDocument again;
    if (rtf::read(first, again))
        std::abort(); // the writer wrote something the reader rejects
    if (const QString readBack = rtftest::dump(again); readBack != read)
        differs(read, readBack);
    if (rtf::write(again) != first)
        std::abort(); // a second save drifts from the first
    return 0;
}
