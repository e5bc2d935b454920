#include "editor/backgroundwork.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

// Long enough that most opens and saves never show it, short enough that nobody wonders.
constexpr int ShowProgressAfterMs = 500;

// Keeps the window open while work that belongs to it goes on.
class CloseRefusal : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void runInBackground(const QWidget *owner, const QString &what, const std::function<void()> &work)
{
    QPointer<QWidget> window = owner ? owner->window() : nullptr;
    CloseRefusal refusal;
    if (window)
        window->installEventFilter(&refusal);

    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);

    std::unique_ptr<QProgressDialog> progress;
    QTimer showProgress;
    showProgress.setSingleShot(true);
    QObject::connect(&showProgress, &QTimer::timeout, &loop, [&] {
        // No range: the work says nothing of how far it has got, and a busy bar is honest.
        progress = std::make_unique<QProgressDialog>(what, QString(), 0, 0, window);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->show();
    });

    thread->start();
    showProgress.start(ShowProgressAfterMs);
    // Input waits in the queue rather than acting on a document about to be replaced or
    // being written; paint events, timers and the progress window go on.
    if (!thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    showProgress.stop();
    progress.reset();
    if (window)
        window->removeEventFilter(&refusal);
}
