// Edits a big document through the editing area as the user does, each action followed by
// a synchronous paint, and prints what each costs:
//   editing_bench [file.rtf ...]   (default: bench-1mb.rtf and bench-10mb.rtf from
//   BREVON_CORPUS_DIR, and bench-50mb.rtf from BREVON_BENCH_DIR when bench/make_big_files.sh
//   has made it there; /tmp/brevon-bench by default)
#include "editor/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void press(RichTextBox &box, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&box, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&box, &up);
}

// An action and the paint that shows its result, in milliseconds. Never inlined, so that a
// profiler can collect each action on its own (valgrind --toggle-collect='*timed*').
template <typename F>
[[gnu::noinline]] double timed(RichTextBox &box, F &&action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    box.viewport()->grab();
    return timer.nsecsElapsed() / 1e6;
}

// Runs the event loop until the caret is at the end of the document, as the user waits for a
// move the editing area makes once the layout gets there: how long that takes, and the
// longest the editing area was unresponsive meanwhile.
void awaitEnd(RichTextBox &box)
{
    QElapsedTimer timer;
    timer.start();
    double longest = 0;
    while (!box.textCursor().atEnd()) {
        QElapsedTimer turn;
        turn.start();
        QApplication::processEvents();
        longest = std::max(longest, turn.nsecsElapsed() / 1e6);
    }
    box.viewport()->grab();
    std::printf("  %-32s %8.1f ms (longest stall %.1f ms, document %.0f pixels high)\n", "  caret at the end after",
                timer.nsecsElapsed() / 1e6, longest, box.document()->documentLayout()->documentSize().height());
}

// Runs the event loop until the layout has reached the end, as when the user pauses.
void settle(RichTextBox &box)
{
    while (box.document()->lastBlock().layout()->lineCount() == 0)
        QApplication::processEvents();
}

void open(RichTextBox &box, const QString &path)
{
    if (const Status loaded = box.loadFile(path, DocumentKind::Rtf); !loaded.ok())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(loaded.error().description));
    box.viewport()->grab();
}

// Page Down until the caret stops moving or `pages` pages: the slowest page and the mean.
void pageThrough(RichTextBox &box, int pages)
{
    double slowest = 0, total = 0;
    int paged = 0;
    for (; paged < pages; ++paged) {
        const int before = box.textCursor().position();
        const double ms = timed(box, [&] { press(box, Qt::Key_PageDown); });
        slowest = std::max(slowest, ms);
        total += ms;
        if (box.textCursor().position() == before)
            break;
    }
    std::printf("  %-32s %8.1f ms a page (slowest %.1f ms, %d pages)\n", "Page Down", paged ? total / paged : 0.0, slowest, paged);
}

// Typing `keys` letters where the caret is: the slowest key and the mean.
void typeAt(RichTextBox &box, const char *where, int keys)
{
    double slowest = 0, total = 0;
    for (int i = 0; i < keys; ++i) {
        const double ms = timed(box, [&] { press(box, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")); });
        slowest = std::max(slowest, ms);
        total += ms;
    }
    std::printf("  type at %-24s %8.1f ms a key (slowest %.1f ms)\n", where, total / keys, slowest);
}

void benchFile(const QString &path)
{
    std::printf("%s (%.1f MB)\n", qPrintable(QFileInfo(path).fileName()), QFileInfo(path).size() / 1e6);
    RichTextBox box;
    box.resize(1144, 777);
    box.show();

    open(box, path);
    std::printf("  %-32s %8.1f ms\n", "Ctrl+End right after opening", timed(box, [&] { press(box, Qt::Key_End, Qt::ControlModifier); }));
    awaitEnd(box);
    std::printf("  %-32s %8.1f ms\n", "Ctrl+Home", timed(box, [&] { press(box, Qt::Key_Home, Qt::ControlModifier); }));
    typeAt(box, "the start", 10);

    open(box, path);
    std::printf("  %-32s %8.1f ms\n", "Select all, Bold", timed(box, [&] {
        box.selectWholeDocument();
        box.setSelectionBold(true);
    }));
    std::printf("  %-32s %8.1f ms\n", "Undo", timed(box, [&] { press(box, Qt::Key_Z, Qt::ControlModifier); }));

    // Going to the end lays the whole document out; typing then moves everything after it.
    open(box, path);
    press(box, Qt::Key_End, Qt::ControlModifier);
    awaitEnd(box);
    std::printf("  %-32s %8.1f ms\n", "Ctrl+Home, laid out in full", timed(box, [&] { press(box, Qt::Key_Home, Qt::ControlModifier); }));
    typeAt(box, "the start, laid out", 10);

    // In the middle and at the end, laid out.
    QTextCursor middle(box.document()->findBlock(box.document()->characterCount() / 2));
    box.setTextCursor(middle);
    typeAt(box, "the middle, laid out", 10);
    std::printf("  %-32s %8.1f ms\n", "Ctrl+End, laid out", timed(box, [&] { press(box, Qt::Key_End, Qt::ControlModifier); }));
    typeAt(box, "the end, laid out", 10);
    press(box, Qt::Key_Home, Qt::ControlModifier);
    pageThrough(box, 50);

    // The same with pauses between the actions, in which the layout catches up.
    box.selectWholeDocument();
    std::printf("  %-32s %8.1f ms\n", "Bold, all selected, laid out", timed(box, [&] { box.setSelectionBold(true); }));
    settle(box);
    std::printf("  %-32s %8.1f ms\n", "Undo, laid out", timed(box, [&] { press(box, Qt::Key_Z, Qt::ControlModifier); }));
    settle(box);
    box.selectWholeDocument();
    std::printf("  %-32s %8.1f ms\n", "Colour, all selected", timed(box, [&] { box.setSelectionColor(QColor(200, 0, 0)); }));
    settle(box);
    std::printf("  %-32s %8.1f ms\n", "Size, all selected", timed(box, [&] { box.setSelectionFontSize(14); }));
    settle(box);
    std::printf("  %-32s %8.1f ms\n", "Typeface, all selected", timed(box, [&] { box.setSelectionFontName(QStringLiteral("DejaVu Sans Mono")); }));
    settle(box);
    std::printf("  peak memory %ld MB\n", peakMemoryKiB() / 1024);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        const QString corpus = qEnvironmentVariable("BREVON_CORPUS_DIR", "../shared/rtf-corpus");
        files = {corpus + "/bench/bench-1mb.rtf", corpus + "/bench/bench-10mb.rtf"};
        const QString folder = qEnvironmentVariable("BREVON_BENCH_DIR", "/tmp/brevon-bench");
        for (const char *big : {"/bench-50mb.rtf", "/tall-600k.rtf"}) {
            if (QFileInfo::exists(folder + big))
                files << folder + big;
        }
    }
    for (const QString &file : files)
        benchFile(file);
    return 0;
}
