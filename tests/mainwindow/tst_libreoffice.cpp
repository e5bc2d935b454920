#include "editor/richtextbox.h"
#include "mainwindow/mainwindow.h"
#include "support/libreoffice.h"
#include "support/mainwindowonly.h"
#include "support/modaldriver.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Formats a document through the menus, saves it as RTF and has LibreOffice read it back:
// what another word processor shows is what the user set.
class TestLibreOffice : public QObject
{
    Q_OBJECT
private slots:
    void formattingSurvivesInLibreOffice();
};

namespace {

// The HTML of the paragraph that holds `text`.
QString paragraphWith(const QString &html, const QString &text)
{
    static const QRegularExpression paragraphs("<p\\b.*?</p>",
                                               QRegularExpression::DotMatchesEverythingOption);
    for (auto it = paragraphs.globalMatch(html); it.hasNext();) {
        const QString paragraph = it.next().captured();
        if (paragraph.contains(text))
            return paragraph;
    }
    return {};
}

} // namespace

void TestLibreOffice::formattingSurvivesInLibreOffice()
{
    if (testsupport::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");

    FormRegistry registry(mainWindowOnly());
    auto *window = static_cast<MainWindow *>(registry.showForm(FormKind::Main));
    RichTextBox *box = window->textBox();
    const auto choose = [&](const char *item) { window->menuItems().item(item)->trigger(); };
    const auto type = [&](const QString &text) { box->textCursor().insertText(text); };

    choose("mnucolorred");
    choose("mnuformatsize20");
    choose("mnuformatfontCenturyGothic");
    choose("mnuboldtrue");
    type("Redbold");
    choose("mnuboldfalse");
    choose("mnucolorblack");
    choose("mnuformatsize12");
    choose("mnuformatfontarialblack");
    type("\nStruck");
    box->moveCursor(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    choose("mnustriketrue");
    box->moveCursor(QTextCursor::End);
    choose("mnustrikefalse");
    type("\nMiddle");
    choose("center");
    type("\nFirst point");
    choose("left");
    choose("on");
    type("\nSecond point");

    QTemporaryDir dir;
    const QString rtf = dir.filePath("formatted.rtf");
    chooseInNextFileDialog(rtf);
    choose("mnufilesave");
    QVERIFY(QFile::exists(rtf));

    const QString html = testsupport::convertToHtml(rtf, dir.path()).simplified();
    QVERIFY2(!html.isEmpty(), "LibreOffice produced nothing");

    const QString redBold = paragraphWith(html, "Redbold");
    QVERIFY2(redBold.contains("#ff0000", Qt::CaseInsensitive), qPrintable(redBold));
    QVERIFY2(redBold.contains("20pt"), qPrintable(redBold));
    QVERIFY2(redBold.contains("Century Gothic"), qPrintable(redBold));
    QVERIFY2(redBold.contains("<b>"), qPrintable(redBold));

    const QString struck = paragraphWith(html, "Struck");
    QVERIFY2(struck.contains("<strike>") || struck.contains("line-through"), qPrintable(struck));
    QVERIFY2(struck.contains("arial black", Qt::CaseInsensitive), qPrintable(struck));
    QVERIFY2(struck.contains("12pt") || !struck.contains("pt\""), qPrintable(struck));
    QVERIFY2(!struck.contains("<b>"), qPrintable(struck));

    const QString middle = paragraphWith(html, "Middle");
    QVERIFY2(middle.contains("center", Qt::CaseInsensitive), qPrintable(middle));

    const qsizetype listStart = html.indexOf("<ul>");
    const QString list = html.mid(listStart, html.indexOf("</ul>") - listStart);
    QVERIFY2(list.contains("First point") && list.contains("Second point"), qPrintable(list));
    QVERIFY2(!list.contains("Middle"), qPrintable(list));
}

QTEST_MAIN(TestLibreOffice)
#include "tst_libreoffice.moc"
