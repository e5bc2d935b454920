#include "editor/commondialog.h"

#include "editor/keepnosettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// Qt's dialog reads a typed name that holds a quote as a list of quoted names ("a" "b"),
// so that quote"in.rtf would save as in.rtf. One file is chosen here, so a typed name is
// always one name, used as typed, blanks and quotes included.
class OneNameFileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    QString chosenFile() const { return m_typed.isEmpty() ? selectedFiles().value(0) : m_typed; }

    void accept() override
    {
        const auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains(QLatin1Char('"')) && typed.trimmed() == typed) {
            QFileDialog::accept();
            return;
        }
        const QFileInfo file(directory().absoluteFilePath(typed));
        if (file.isDir()) {
            QFileDialog::accept(); // Qt's dialog goes into the folder
            return;
        }
        const QString shown = QDir::toNativeSeparators(file.absoluteFilePath());
        if (acceptMode() == AcceptOpen && !file.exists()) {
            QMessageBox::warning(this, windowTitle(), tr("%1\nFile not found.").arg(shown));
            return;
        }
        if (acceptMode() == AcceptSave && file.exists() && !testOption(DontConfirmOverwrite)
            && QMessageBox::warning(this, windowTitle(), tr("%1 already exists.\nDo you want to replace it?").arg(shown),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes) {
            return;
        }
        m_typed = file.absoluteFilePath();
        QDialog::accept();
    }

private:
    QString m_typed;
};

} // namespace

CommonDialog::CommonDialog(QWidget *owner) : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("CommonDialog1"));
    keepNoSettings();
}

void CommonDialog::setFilter(const QString &filter)
{
    m_filter = filter;
}

QString CommonDialog::nameFilterFor(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar);
    const QString pattern = filter.mid(bar + 1).replace(QLatin1Char(';'), QLatin1Char(' '));
    // The dialog takes its patterns from the parentheses; most descriptions already show them.
    if (description.endsWith(QStringLiteral("(%1)").arg(pattern)))
        return description;
    return QStringLiteral("%1 (%2)").arg(description, pattern);
}

bool CommonDialog::showOpen()
{
    return show(false);
}

bool CommonDialog::showSave()
{
    return show(true);
}

bool CommonDialog::show(bool save)
{
    OneNameFileDialog dialog(m_owner);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    // Qt's own dialog behaves the same on every platform, also under test.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!m_filter.isEmpty())
        dialog.setNameFilter(nameFilterFor(m_filter));
    // "*.RTF" must list a.rtf as well as B.RTF, as it does on Windows.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    // Names that do not match are hidden, not merely greyed out.
    if (auto *model = dialog.findChild<QFileSystemModel *>())
        model->setNameFilterDisables(false);
    if (!m_fileName.isEmpty()) {
        const QFileInfo previous(m_fileName);
        dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(previous.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.chosenFile().isEmpty())
        return false;
    m_fileName = dialog.chosenFile();
    return true;
}
