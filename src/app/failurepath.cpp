#include "app/failurepath.h"

#include <QApplication>
#include <QMessageBox>

namespace FailurePath {

QString messageFor(const Error &error)
{
    return QStringLiteral("Error %1\n\n%2").arg(error.number).arg(error.description);
}

void report(const Error &error)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Brevon"), messageFor(error),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("failureMessage"));
    box.exec();
}

void run(const Steps &steps)
{
    if (Status status = runSteps(steps); !status.ok())
        report(status.error());
}

} // namespace FailurePath
