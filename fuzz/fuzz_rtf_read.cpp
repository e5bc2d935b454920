// libFuzzer target: any bytes through the reader, then what was read through the writer
// and the reader again. Crashes, hangs and leaks are findings; so is a second save that
// differs from the first, since reading what we wrote must give the same document back.
#include "rtf/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

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
    const QByteArray first = rtf::write(document);
    QTextDocument again;
    if (rtf::read(first, again))
        std::abort(); // the writer wrote something the reader rejects
    if (rtf::write(again) != first)
        std::abort(); // the round trip lost or changed something
    return 0;
}
