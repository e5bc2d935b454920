#include "app/failurepath.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestFailurePath : public QObject
{
    Q_OBJECT
private slots:
    void stopsAtTheFailingStepAndReportsIt();
    void ignoringFailuresRunsEveryStep();
};

void TestFailurePath::stopsAtTheFailingStepAndReportsIt()
{
    QStringList done;
    const Steps steps = {
        infallible([&] { done << "filter set"; }),
        [&]() -> Status {
            done << "load";
            return Error{ErrorNumber::FileNotFound, "No such file or directory: \"/tmp/x.rtf\""};
        },
        infallible([&] { done << "never"; }),
    };

    QString shown;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        box->accept();
    });
    FailurePath::run(steps);

    QCOMPARE(done, (QStringList{"filter set", "load"}));
    QVERIFY(shown.contains("53"));
    QVERIFY(shown.contains("No such file or directory: \"/tmp/x.rtf\""));
}

void TestFailurePath::ignoringFailuresRunsEveryStep()
{
    int ran = 0;
    const Steps steps = {
        [&]() -> Status { ++ran; return Error{ErrorNumber::ClipboardUnavailable, "busy"}; },
        infallible([&] { ++ran; }),
    };
    runStepsIgnoringFailures(steps);
    QCOMPARE(ran, 2);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(TestFailurePath)
#include "tst_failurepath.moc"
