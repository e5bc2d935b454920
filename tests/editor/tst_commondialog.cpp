#include "editor/commondialog.h"
#include "support/modaldriver.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

// Types a name into the next file dialog's name field and presses Enter, as a user does.
void typeInNextFileDialog(const QString &typed)
{
    answerNextModal<QFileDialog>([typed](QFileDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        // Typed with the focus in the field, which is what lets go of the file the dialog
        // opened with.
        QApplication::setActiveWindow(dialog);
        edit->setFocus();
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible()) // refused: the dialog stays open
            dialog->reject();
    });
}

} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT
private slots:
    void theNameTypedIsTheNameUsed_data();
    void theNameTypedIsTheNameUsed();
};

void TestCommonDialog::theNameTypedIsTheNameUsed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("quote") << QStringLiteral("quote\"in.rtf");
    QTest::newRow("quoted name") << QStringLiteral("\"quoted\".rtf");
    QTest::newRow("trailing blank") << QStringLiteral("blank.rtf ");
    QTest::newRow("leading blank") << QStringLiteral(" blank.rtf");
    QTest::newRow("plain") << QStringLiteral("plain.rtf");
}

void TestCommonDialog::theNameTypedIsTheNameUsed()
{
    QFETCH(QString, typed);
    QTemporaryDir dir;
    QWidget owner;
    CommonDialog dialog(&owner);
    // The dialog opens where the last chosen file was.
    QFile seed(dir.filePath("seed.rtf"));
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.close();
    chooseInNextFileDialog(dir.filePath("seed.rtf"));
    dialog.setFilter(QStringLiteral("RTF files (*.RTF)|*.RTF"));
    QVERIFY(dialog.showOpen());
    QCOMPARE(dialog.fileName(), dir.filePath("seed.rtf"));

    typeInNextFileDialog(typed);
    QVERIFY(dialog.showSave());
    QCOMPARE(dialog.fileName(), dir.filePath(typed));
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
