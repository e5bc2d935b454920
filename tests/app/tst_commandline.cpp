#include "app/commandline.h"

#include <QTest>

using Request = CommandLine::Request;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void versionAndHelpNameTheProduct();
};

void TestCommandLine::requests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("file");

    QTest::newRow("nothing") << QStringList{} << Request::Run << QString();
    QTest::newRow("a file") << QStringList{"letter.rtf"} << Request::Run << "letter.rtf";
    QTest::newRow("a file named like an option after --")
        << QStringList{"--", "--help"} << Request::Run << "--help";
    QTest::newRow("a lone dash is a file name") << QStringList{"-"} << Request::Run << "-";
    QTest::newRow("help") << QStringList{"--help"} << Request::Help << QString();
    QTest::newRow("short help") << QStringList{"-h"} << Request::Help << QString();
    QTest::newRow("version") << QStringList{"--version"} << Request::Version << QString();
    QTest::newRow("short version") << QStringList{"-v"} << Request::Version << QString();
    // Before QApplication has taken out its own options they stand beside ours.
    QTest::newRow("help wins over what it cannot read yet")
        << QStringList{"-platform", "offscreen", "--help"} << Request::Help << QString();
    QTest::newRow("help wins over the version")
        << QStringList{"--version", "--help"} << Request::Help << QString();
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << Request::Mistake << QString();
    QTest::newRow("two files") << QStringList{"a.rtf", "b.rtf"} << Request::Mistake << QString();
}

void TestCommandLine::requests()
{
    QFETCH(QStringList, arguments);
    QFETCH(Request, request);
    QFETCH(QString, file);
    const CommandLine line = parseCommandLine(arguments);
    QCOMPARE(line.request, request);
    QCOMPARE(line.file, file);
    QCOMPARE(line.mistake.isEmpty(), request != Request::Mistake);
}

void TestCommandLine::versionAndHelpNameTheProduct()
{
    QCOMPARE(versionLine(), QStringLiteral("Tolvex Brevon 1.00.0001"));
    QVERIFY(commandLineHelp().startsWith(QStringLiteral("Usage: brevon ")));
    QVERIFY(commandLineHelp().contains(QStringLiteral("--version")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
