#pragma once

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

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

} // namespace testsupport
