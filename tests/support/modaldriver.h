#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

// Answers the next modal window (file dialog or message box) once it is open, the way a
// user would, so that commands which show one can run to the end inside a test.
template<typename Modal>
void answerNextModal(std::function<void(Modal *)> answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, answer = std::move(answer)] {
        if (auto *modal = qobject_cast<Modal *>(QApplication::activeModalWidget())) {
            answer(modal);
            *poll = nullptr; // break the cycle
            return;
        }
        QTimer::singleShot(10, qApp, [poll] { if (*poll) (*poll)(); });
    };
    QTimer::singleShot(0, qApp, [poll] { (*poll)(); });
}

// Picks `path` in the next file dialog; an existing file's replacement is confirmed.
inline void chooseInNextFileDialog(const QString &path, QStringList *shownFilters = nullptr)
{
    answerNextModal<QFileDialog>([path, shownFilters](QFileDialog *dialog) {
        if (shownFilters)
            *shownFilters = dialog->nameFilters();
        if (dialog->acceptMode() == QFileDialog::AcceptSave)
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

inline void cancelNextFileDialog(QStringList *shownFilters = nullptr)
{
    answerNextModal<QFileDialog>([shownFilters](QFileDialog *dialog) {
        if (shownFilters)
            *shownFilters = dialog->nameFilters();
        dialog->reject();
    });
}

// Closes the next message box and hands back its text.
inline void closeNextMessageBox(QString *text)
{
    answerNextModal<QMessageBox>([text](QMessageBox *box) {
        *text = box->text();
        box->accept();
    });
}
