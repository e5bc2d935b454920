// libFuzzer target: any bytes opened as a text file and saved again must come back byte
// for byte; so must the save of a document edited at its start and end, around the edits.
#include "editor/plaintext.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void differs(const char *what, const QByteArray &in, const QByteArray &out)
{
    std::fprintf(stderr, "%s\n--- in\n%s\n--- out\n%s\n", what, in.toHex(' ').constData(),
                 out.toHex(' ').constData());
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
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    PlainText::load(document, bytes);
    if (const QByteArray saved = PlainText::save(document); saved != bytes)
        differs("saved differs from read", bytes, saved);

    // An ASCII character takes one byte in every encoding but UTF-16; either way the file's
    // own bytes must stand between the edits untouched.
    const bool littleEndian = bytes.startsWith("\xFF\xFE"), bigEndian = bytes.startsWith("\xFE\xFF");
    const qsizetype mark = littleEndian || bigEndian ? 2 : bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const auto ascii = [&](char c) {
        return littleEndian ? QByteArray(1, c) + '\0' : bigEndian ? '\0' + QByteArray(1, c) : QByteArray(1, c);
    };
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("<"));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral(">"));
    const QByteArray expected = bytes.left(mark) + ascii('<') + bytes.mid(mark) + ascii('>');
    if (const QByteArray edited = PlainText::save(document); edited != expected)
        differs("edits at the ends changed the rest", expected, edited);
    return 0;
}
