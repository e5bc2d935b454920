#include "app/commandline.h"

#include "brevon_identity.h"

namespace {

bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

CommandLine mistake(const QString &what)
{
    return {CommandLine::Request::Mistake, {}, what};
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    const QStringList options = arguments.mid(0, end);
    for (const QString &argument : options) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return {CommandLine::Request::Help, {}, {}};
    }
    for (const QString &argument : options) {
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return {CommandLine::Request::Version, {}, {}};
    }

    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && isOption(argument))
            return mistake(QStringLiteral("unknown option %1").arg(argument));
        files.append(argument);
    }
    if (files.size() > 1)
        return mistake(QStringLiteral("one file at a time, not %1").arg(files.size()));
    CommandLine line;
    if (!files.isEmpty())
        line.file = files.constFirst();
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Usage: brevon [OPTION] [FILE]\n"
        "%1: a simple RTF and text editor.\n"
        "\n"
        "Opens FILE at start: as RTF when its content begins with {\\rtf, as text otherwise.\n"
        "\n"
        "  -h, --help     show this help and end\n"
        "  -v, --version  show the version and end\n"
        "  --             what follows is a file name, also when it begins with -\n"
        "\n"
        "Qt's own options, such as -platform and -style, are taken as well.\n")
        .arg(QStringLiteral(BREVON_PRODUCT_NAME));
}

QString versionLine()
{
    return QStringLiteral(BREVON_PRODUCT_NAME " " BREVON_VERSION_TEXT);
}
