#include "app/commandline.h"
#include "app/failurepath.h"
#include "app/formregistry.h"
#include "app/identity.h"
#include "editor/startupfile.h"
#include "mainwindow/mainwindow.h"
#include "windows/formcatalog.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

QStringList argumentsAfterName(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

// Help and the version are answered before QApplication connects to a display, so they
// work where there is none.
bool answeredWithoutWindows(const CommandLine &line)
{
    if (line.request == CommandLine::Request::Help)
        std::fputs(qPrintable(commandLineHelp()), stdout);
    else if (line.request == CommandLine::Request::Version)
        std::fprintf(stdout, "%s\n", qPrintable(versionLine()));
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredWithoutWindows(parseCommandLine(argumentsAfterName(argc, argv))))
        return 0;

    QApplication app(argc, argv);
    applyIdentity();
    const CommandLine line = parseCommandLine(QApplication::arguments().mid(1));
    if (line.request == CommandLine::Request::Mistake) {
        std::fprintf(stderr, "brevon: %s\nTry 'brevon --help'.\n", qPrintable(line.mistake));
        return 2;
    }

    FormRegistry registry(formCatalog());
    auto *window = static_cast<MainWindow *>(registry.showForm(FormKind::Main));
    if (!line.file.isEmpty())
        FailurePath::run(openStartupFileSteps(*window->textBox(), line.file));
    return app.exec();
}
