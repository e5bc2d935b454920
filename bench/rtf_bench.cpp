// Loads and saves the benchmark documents and prints what it costs:
//   rtf_bench [file.rtf ...]      (default: bench-1mb.rtf and bench-10mb.rtf from BREVON_CORPUS_DIR)
#include "rtf/rtf.h"
#include "rtf/tokenizer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double megabytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (bytes / 1e6) / (nanoseconds / 1e9) : 0.0;
}

// The best of a few runs: the figure of interest is what the code can do, not the noise.
template <typename F>
qint64 bestOf(int runs, F &&f)
{
    qint64 best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        const qint64 elapsed = timer.nsecsElapsed();
        if (best < 0 || elapsed < best)
            best = elapsed;
    }
    return best;
}

bool benchFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    const QByteArray input = file.readAll();
    const int runs = input.size() > 5'000'000 ? 3 : 5;

    qint64 tokens = 0;
    const qint64 tokenizeNs = bestOf(runs, [&] {
        tokens = 0;
        rtf::Tokenizer tokenizer(input);
        while (tokenizer.next().type != rtf::TokenType::End)
            ++tokens;
    });

    bool readOk = true;
    const qint64 readNs = bestOf(runs, [&] {
        QTextDocument document;
        readOk = !rtf::read(input, document).has_value();
    });

    QTextDocument document;
    rtf::read(input, document);
    QByteArray output;
    const qint64 writeNs = bestOf(runs, [&] { output = rtf::write(document); });

    std::printf("%s\n", qPrintable(path));
    std::printf("  size           %.2f MB, %lld tokens, %d blocks, %d characters%s\n", input.size() / 1e6,
                static_cast<long long>(tokens), document.blockCount(), document.characterCount(),
                readOk ? "" : " (READ FAILED)");
    std::printf("  tokenizer      %8.1f ms  %8.1f MB/s\n", tokenizeNs / 1e6, megabytesPerSecond(input.size(), tokenizeNs));
    std::printf("  read           %8.1f ms  %8.1f MB/s\n", readNs / 1e6, megabytesPerSecond(input.size(), readNs));
    std::printf("  write          %8.1f ms  %8.1f MB/s of output (%.2f MB)\n", writeNs / 1e6,
                megabytesPerSecond(output.size(), writeNs), output.size() / 1e6);
    std::printf("  peak memory    %ld KiB so far\n", peakMemoryKiB());
    return readOk;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);

    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
    if (files.isEmpty()) {
        QString corpus = qEnvironmentVariable("BREVON_CORPUS_DIR");
        if (corpus.isEmpty())
            corpus = QStringLiteral("/work/shared/rtf-corpus");
        files << corpus + "/bench/bench-1mb.rtf" << corpus + "/bench/bench-10mb.rtf";
    }
    bool ok = true;
    for (const QString &path : files)
        ok = benchFile(path) && ok;
    return ok ? 0 : 1;
}
