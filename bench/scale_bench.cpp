// Reads and writes generated pathological RTF at two sizes and prints what it costs:
//   scale_bench [--counts 10000,100000] [--timeout seconds] [--no-layout] [shape ...]
//   scale_bench --write folder [--counts ...] [shape ...]   (writes the files instead)
//   scale_bench --file file.rtf   (one file: bytes, read ns, layout ns, write ns, peak KiB, output bytes, stable)
// Shapes: fonts colours nesting styles lists pictures (default: all). Each case runs in a
// process of its own, so that its peak memory is its own. The ratio is the time at the
// largest count over the time at the smallest: linear in the input is about the ratio of
// the counts (10 for the default ones). Layout is Qt laying the whole document out at a
// page's width, as the editing area does in steps after an open; --no-layout leaves it out.
#include "rtfshapes.h"

#include "rtf/rtf.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdio>
#include <map>

namespace {

using rtfshapes::Shape;

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One case in this process. Prints: bytes readNs layoutNs writeNs peakKiB outputBytes stable
int runOne(const QByteArray &input, bool layout)
{
    QTextDocument document;
    QElapsedTimer timer;
    timer.start();
    const bool readOk = !rtf::read(input, document).has_value();
    const qint64 readNs = timer.nsecsElapsed();
    // The editing area lays the whole document out in steps after showing its start.
    timer.restart();
    if (layout) {
        document.setTextWidth(800);
        document.documentLayout()->documentSize();
    }
    const qint64 layoutNs = layout ? timer.nsecsElapsed() : 0;
    timer.restart();
    const QByteArray output = rtf::write(document);
    const qint64 writeNs = timer.nsecsElapsed();
    const long peak = peakMemoryKiB();
    // What was written reads back to what writes the same again.
    QTextDocument again;
    const bool stable = readOk && !rtf::read(output, again).has_value() && rtf::write(again) == output;
    std::printf("%lld %lld %lld %lld %ld %lld %d\n", static_cast<long long>(input.size()), static_cast<long long>(readNs),
                static_cast<long long>(layoutNs), static_cast<long long>(writeNs), peak, static_cast<long long>(output.size()), int(stable));
    return readOk ? 0 : 1;
}

struct Figures {
    bool ok = false;
    QString failure;
    qint64 bytes = 0, readNs = 0, layoutNs = 0, writeNs = 0, outputBytes = 0;
    long peakKiB = 0;
    bool stable = false;
};

Figures runChild(Shape shape, int count, int timeoutSeconds, bool layout)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QStringLiteral("--one"), rtfshapes::nameOf(shape), QString::number(count)};
    if (!layout)
        arguments << QStringLiteral("--no-layout");
    child.start(QCoreApplication::applicationFilePath(), arguments);
    Figures figures;
    if (!child.waitForFinished(timeoutSeconds * 1000)) {
        child.kill();
        child.waitForFinished();
        figures.failure = QStringLiteral("over %1 s").arg(timeoutSeconds);
        return figures;
    }
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (child.exitCode() != 0 || fields.size() != 7) {
        figures.failure = QStringLiteral("failed (exit %1)").arg(child.exitCode());
        return figures;
    }
    figures.ok = true;
    figures.bytes = fields[0].toLongLong();
    figures.readNs = fields[1].toLongLong();
    figures.layoutNs = fields[2].toLongLong();
    figures.writeNs = fields[3].toLongLong();
    figures.peakKiB = fields[4].toLong();
    figures.outputBytes = fields[5].toLongLong();
    figures.stable = fields[6] == "1";
    return figures;
}

double megabytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (bytes / 1e6) / (nanoseconds / 1e9) : 0.0;
}

void printFigures(Shape shape, int count, const Figures &f)
{
    std::printf("%-9s %7d ", qPrintable(rtfshapes::nameOf(shape)), count);
    if (!f.ok) {
        std::printf(" %s\n", qPrintable(f.failure));
        return;
    }
    std::printf("%8.2f MB %9.1f ms %7.2f MB/s %9.1f ms %9.1f ms %8.1f MB %8.2f MB%s\n", f.bytes / 1e6, f.readNs / 1e6,
                megabytesPerSecond(f.bytes, f.readNs), f.layoutNs / 1e6, f.writeNs / 1e6, f.peakKiB / 1024.0, f.outputBytes / 1e6,
                f.stable ? "" : "  NOT STABLE");
    std::fflush(stdout);
}

QList<int> countsFrom(const QString &list)
{
    QList<int> counts;
    for (const QString &part : list.split(u',', Qt::SkipEmptyParts))
        counts << part.toInt();
    return counts;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    const bool layout = !args.removeAll(QStringLiteral("--no-layout"));
    if (args.size() == 3 && args[0] == u"--one") {
        const auto shape = rtfshapes::shapeNamed(args[1]);
        return shape ? runOne(rtfshapes::generate(*shape, args[2].toInt()), layout) : 2;
    }
    if (args.size() == 2 && args[0] == u"--file") {
        QFile file(args[1]);
        return file.open(QIODevice::ReadOnly) ? runOne(file.readAll(), layout) : 2;
    }

    QList<int> counts{10'000, 100'000};
    int timeoutSeconds = 300;
    QString writeFolder;
    QList<Shape> shapes;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--counts" && i + 1 < args.size())
            counts = countsFrom(args[++i]);
        else if (args[i] == u"--timeout" && i + 1 < args.size())
            timeoutSeconds = args[++i].toInt();
        else if (args[i] == u"--write" && i + 1 < args.size())
            writeFolder = args[++i];
        else if (const auto shape = rtfshapes::shapeNamed(args[i]))
            shapes << *shape;
        else {
            std::fprintf(stderr, "unknown argument %s\n", qPrintable(args[i]));
            return 2;
        }
    }
    if (shapes.isEmpty())
        shapes = QList<Shape>(rtfshapes::allShapes().begin(), rtfshapes::allShapes().end());
    if (counts.isEmpty())
        return 2;

    if (!writeFolder.isEmpty()) {
        QDir().mkpath(writeFolder);
        for (const Shape shape : shapes) {
            for (const int count : counts) {
                QFile file(QDir(writeFolder).filePath(QStringLiteral("%1-%2.rtf").arg(rtfshapes::nameOf(shape)).arg(count)));
                if (!file.open(QIODevice::WriteOnly) || file.write(rtfshapes::generate(shape, count)) < 0) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                    return 1;
                }
                std::printf("%s\n", qPrintable(file.fileName()));
            }
        }
        return 0;
    }

    std::printf("%-9s %7s %11s %12s %12s %12s %12s %11s %11s\n", "shape", "count", "input", "read", "read speed",
                "layout", "write", "peak", "output");
    bool allOk = true;
    for (const Shape shape : shapes) {
        std::map<int, Figures> byCount;
        for (const int count : counts) {
            byCount[count] = runChild(shape, count, timeoutSeconds, layout);
            printFigures(shape, count, byCount[count]);
            allOk = allOk && byCount[count].ok && byCount[count].stable;
        }
        const Figures &least = byCount.begin()->second;
        const Figures &most = byCount.rbegin()->second;
        if (counts.size() > 1 && least.ok && most.ok && least.readNs > 0 && least.writeNs > 0) {
            std::printf("%-9s ratio %d/%d: read %.1f, layout %.1f, write %.1f, peak memory %.1f\n",
                        qPrintable(rtfshapes::nameOf(shape)), byCount.rbegin()->first, byCount.begin()->first,
                        double(most.readNs) / least.readNs, least.layoutNs > 0 ? double(most.layoutNs) / least.layoutNs : 0.0,
                        double(most.writeNs) / least.writeNs, double(most.peakKiB) / least.peakKiB);
        }
    }
    return allOk ? 0 : 1;
}
