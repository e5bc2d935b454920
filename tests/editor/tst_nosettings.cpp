#include "editor/commondialog.h"
#include "support/modaldriver.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

QTemporaryDir &configHome()
{
    static QTemporaryDir folder;
    return folder;
}

QString rememberedFolder()
{
    return configHome().filePath(QStringLiteral("remembered"));
}

// What an earlier run of Qt's dialog would have left: its history and last folder.
const QByteArray earlierRun = "[FileDialog]\nhistory=file://" + rememberedFolder().toUtf8()
                              + "\nlastVisited=file://" + rememberedFolder().toUtf8()
                              + "\nqtVersion=" QT_VERSION_STR "\n";

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

} // namespace

// The program keeps nothing between runs: its file dialog, used in every way, writes no
// settings and reads none left by an earlier run.
class TestNoSettings : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        QVERIFY(configHome().isValid());
        qputenv("XDG_CONFIG_HOME", configHome().path().toLocal8Bit());
        QDir().mkpath(rememberedFolder());
        QFile earlier(configHome().filePath(QStringLiteral("QtProject.conf")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(earlierRun);
    }

private slots:
    void fileDialogsWriteAndReadNoSettings();
};

void TestNoSettings::fileDialogsWriteAndReadNoSettings()
{
    const QStringList before = filesUnder(configHome().path());
    QTemporaryDir documents;
    const QString document = documents.filePath(QStringLiteral("a.rtf"));
    {
        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.setFilter(QStringLiteral("RTF files (*.RTF)|*.RTF"));

        QString shownFolder;
        QStringList history;
        answerNextModal<QFileDialog>([&shownFolder, &history](QFileDialog *shown) {
            shownFolder = shown->directory().absolutePath();
            history = shown->history();
            shown->reject();
        });
        QVERIFY(!dialog.showOpen());
        QVERIFY(!shownFolder.isEmpty());
        QVERIFY2(shownFolder != rememberedFolder(), qPrintable(shownFolder));
        QVERIFY2(!history.contains(rememberedFolder()), qPrintable(history.join(u',')));

        chooseInNextFileDialog(document);
        QVERIFY(dialog.showSave());
        cancelNextFileDialog();
        QVERIFY(!dialog.showSave());
        QFile(document).open(QIODevice::WriteOnly);
        chooseInNextFileDialog(document);
        QVERIFY(dialog.showOpen());
    }
    QCOMPARE(filesUnder(configHome().path()), before);
    QFile earlier(configHome().filePath(QStringLiteral("QtProject.conf")));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), earlierRun);
}

QTEST_MAIN(TestNoSettings)
#include "tst_nosettings.moc"
