#pragma once

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace testsupport {

inline QString sofficePath()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// Has LibreOffice open `rtfPath` and save it as HTML in `outDir`; the HTML, or nothing if
// LibreOffice failed. The profile lives in `outDir` so that a LibreOffice the user has open
// (or a test running alongside) neither locks nor answers the conversion.
inline QString convertToHtml(const QString &rtfPath, const QString &outDir)
{
    QProcess process;
    process.start(sofficePath(), {"-env:UserInstallation=file://" + outDir + "/profile", "--headless",
                                  "--convert-to", "html", "--outdir", outDir, rtfPath});
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    QFile html(outDir + "/" + QFileInfo(rtfPath).completeBaseName() + ".html");
    return html.open(QIODevice::ReadOnly) ? QString::fromUtf8(html.readAll()) : QString();
}

// Has LibreOffice convert every file of `paths` to `format` ("fodt") in `outDir`, each to its
// base name; the paths it could not convert. Its profile is `profileDir`, else one in `outDir`. One start of LibreOffice takes seconds, so all
// files go to one start; should it stop early (a crash, or silence for two minutes while
// stuck on a file), the next start takes up after the last file it reported, and a file that
// stops a fresh start on its own is given up.
inline QStringList convertAll(const QStringList &paths, const QString &format, const QString &outDir,
                              const QString &profileDir = QString())
{
    const QString profile = profileDir.isEmpty() ? outDir + "/profile" : profileDir;
    const auto output = [&](const QString &path) { return outDir + "/" + QFileInfo(path).completeBaseName() + "." + format; };
    QStringList failed;
    QStringList left = paths;
    while (!left.isEmpty()) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(sofficePath(), QStringList{"-env:UserInstallation=file://" + profile, "--headless",
                                                 "--convert-to", format, "--outdir", outDir}
                                         + left);
        QByteArray log;
        while (process.state() != QProcess::NotRunning) {
            if (!process.waitForReadyRead(120000) && process.state() != QProcess::NotRunning) {
                process.kill();
                process.waitForFinished();
            }
            log += process.readAll();
        }
        log += process.readAll();
        qsizetype reported = 0; // one line per file: "convert a -> b" or "Error: ..."
        for (const QByteArray &line : log.split('\n'))
            reported += line.startsWith("convert ") || line.startsWith("Error:");
        qsizetype done = qMin(reported, left.size());
        for (qsizetype i = left.size(); i-- > done;)
            if (QFile::exists(output(left[i]))) {
                done = i + 1;
                break;
            }
        done = qMax<qsizetype>(done, 1);
        for (qsizetype i = 0; i < done; ++i)
            if (!QFile::exists(output(left[i])))
                failed << left[i];
        left.remove(0, done);
    }
    return failed;
}

} // namespace testsupport
