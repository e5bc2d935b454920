// Opens and saves the benchmark documents in the editing area, as the user's Open and Save
// do, and prints what it costs; also times LibreOffice on the same files where installed.
//   editor_bench [file ...]   (default: bench-1mb.rtf and bench-10mb.rtf from BREVON_CORPUS_DIR)
// A file is read as RTF when it begins with {\rtf, as text otherwise, as the command line
// does; a text file must save back byte for byte. bench/make_big_files.sh makes big ones.
#include "editor/richtextbox.h"
#include "rtf/tokenizer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double seconds(qint64 nanoseconds)
{
    return nanoseconds / 1e9;
}

// LibreOffice's own time to read the file and write its text, for comparison.
double libreOfficeSeconds(const QString &path, const QString &outDir)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        return -1;
    const QStringList arguments{"-env:UserInstallation=file://" + outDir + "/profile", "--headless",
                                "--convert-to", "txt:Text (encoded):UTF8", "--outdir", outDir, path};
    const auto run = [&] {
        QProcess process;
        process.start(soffice, arguments);
        process.waitForFinished(-1);
    };
    run(); // warm-up: the first start builds the profile
    QElapsedTimer timer;
    timer.start();
    run();
    return seconds(timer.nsecsElapsed());
}

// The tokenizer alone over the file's bytes, best of three: the floor under any reading.
double tokenizerMegabytesPerSecond(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    qint64 best = -1;
    std::size_t tokens = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        rtf::Tokenizer tokenizer(bytes);
        tokens = 0;
        while (tokenizer.next().type != rtf::TokenType::End)
            ++tokens;
        const qint64 ns = timer.nsecsElapsed();
        if (best < 0 || ns < best)
            best = ns;
    }
    return tokens ? bytes.size() / 1e6 / seconds(best) : 0;
}

DocumentKind kindOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "{\\rtf" ? DocumentKind::Rtf : DocumentKind::PlainText;
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile one(a), other(b);
    return one.open(QIODevice::ReadOnly) && other.open(QIODevice::ReadOnly) && one.readAll() == other.readAll();
}

void benchFile(const QString &path, const QTemporaryDir &scratch)
{
    const double megabytes = QFileInfo(path).size() / 1e6;
    const DocumentKind kind = kindOf(path);

    RichTextBox box;
    box.resize(1144, 777);
    box.show();

    QElapsedTimer timer;
    timer.start();
    const Status loaded = box.loadFile(path, kind);
    const qint64 loadNs = timer.nsecsElapsed();
    // The user sees the document once the first screen is laid out and painted.
    box.viewport()->grab();
    const qint64 shownNs = timer.nsecsElapsed();
    if (!loaded.ok()) {
        std::printf("%-16s %6.1f MB  refused after %6.3f s, peak %5ld MB: %s\n", qPrintable(QFileInfo(path).fileName()),
                    megabytes, seconds(shownNs), peakMemoryKiB() / 1024, qPrintable(loaded.error().description));
        return;
    }

    timer.restart();
    const QString savedPath = scratch.filePath(kind == DocumentKind::Rtf ? "saved.rtf" : "saved.txt");
    const Status saved = box.saveFile(savedPath, kind);
    const qint64 saveNs = timer.nsecsElapsed();

    const long peakKiB = peakMemoryKiB();
    std::printf("%-16s %6.1f MB  open %6.3f s (%5.1f MB/s, shown after %6.3f s)  save %6.3f s (%5.1f MB/s)%s  "
                "peak %5ld MB (%4.1fx file)",
                qPrintable(QFileInfo(path).fileName()), megabytes, seconds(loadNs),
                megabytes / seconds(loadNs), seconds(shownNs), seconds(saveNs), megabytes / seconds(saveNs),
                saved.ok() ? "" : " FAILED", peakKiB / 1024, peakKiB / 1024.0 / megabytes);
    if (kind == DocumentKind::PlainText) {
        std::printf("  %s\n", sameBytes(path, savedPath) ? "same bytes" : "BYTES DIFFER");
        return;
    }
    const double tokenizer = tokenizerMegabytesPerSecond(path);
    // LibreOffice needs minutes for each 10 MB: past a few hundred it would take the hour.
    const double office = megabytes < 200 ? libreOfficeSeconds(path, scratch.path()) : -1;
    std::printf("  tokenizer %5.0f MB/s", tokenizer);
    if (office > 0)
        std::printf("  LibreOffice %6.3f s (%.1fx ours)", office, office / seconds(shownNs));
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        const QString corpus = qEnvironmentVariable("BREVON_CORPUS_DIR", "../shared/rtf-corpus");
        files = {corpus + "/bench/bench-1mb.rtf", corpus + "/bench/bench-10mb.rtf"};
    }
    QTemporaryDir scratch;
    for (const QString &file : files)
        benchFile(file, scratch);
    return 0;
}
