#include "app/screenfit.h"

#include <QTest>

class TestScreenFit : public QObject
{
    Q_OBJECT
private slots:
    void fitted_data();
    void fitted();
};

void TestScreenFit::fitted_data()
{
    QTest::addColumn<QRect>("client");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 1600, 1000);
    QTest::newRow("fits: stays as designed")
        << QRect(54, 80, 837, 671) << QSize() << screen << QRect(54, 80, 837, 671);
    QTest::newRow("title bar above the screen: moved down")
        << QRect(100, 5, 300, 200) << QSize() << screen << QRect(100, 30, 300, 200);
    QTest::newRow("off the right edge: moved left, size kept")
        << QRect(898, 56, 144, 247) << QSize() << QRect(0, 0, 800, 500) << QRect(652, 56, 144, 247);
    QTest::newRow("larger than the screen: made to fit")
        << QRect(54, 80, 837, 671) << QSize() << QRect(0, 0, 800, 500) << QRect(4, 30, 792, 466);
    QTest::newRow("cannot shrink: the title bar's left end stays in view")
        << QRect(54, 80, 837, 671) << QSize(837, 671) << QRect(0, 0, 800, 500) << QRect(4, 30, 837, 671);
    QTest::newRow("screen with a panel on the left and above")
        << QRect(10, 10, 300, 200) << QSize() << QRect(48, 24, 1552, 976) << QRect(52, 54, 300, 200);
    QTest::newRow("second screen")
        << QRect(1700, 80, 837, 671) << QSize() << QRect(1600, 0, 800, 500) << QRect(1604, 30, 792, 466);
}

void TestScreenFit::fitted()
{
    QFETCH(QRect, client);
    QFETCH(QSize, minimum);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(fittedOnScreen(client, QMargins(4, 30, 4, 4), available, minimum), expected);
}

QTEST_GUILESS_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
