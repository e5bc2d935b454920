#include "toolbar/imagelist.h"
#include "toolbar/wholepixelicon.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QTest>

// Pictures drawn pixel by pixel stay crisp at every scale, and toolbar pictures stay legible
// whatever the palette.
class TestWholePixelIcon : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void everyPixelBecomesAWholeBlock_data();
    void everyPixelBecomesAWholeBlock();
    void theDesignThatScalesWholeIsChosen();
    void picturesStandOnTheirFaceUnderADarkPalette();
    void disabledPicturesKeepTheirSize();
};

namespace {

QImage blocks(const QPixmap &design, int factor)
{
    return design.toImage().convertToFormat(QImage::Format_ARGB32).scaled(
        design.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The device pixels the icon gives for a logical size at a screen scale.
QImage drawn(const QIcon &icon, int logical, qreal scale)
{
    QImage image = icon.pixmap(QSize(logical, logical), scale).toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

void TestWholePixelIcon::everyPixelBecomesAWholeBlock_data()
{
    QTest::addColumn<QString>("key");
    for (const QString &key : ImageList().keys())
        QTest::newRow(qPrintable(key)) << key;
}

void TestWholePixelIcon::everyPixelBecomesAWholeBlock()
{
    QFETCH(QString, key);
    const QPixmap picture = ImageList().picture(key);
    const QIcon icon = wholePixelIcon({picture}, ImageList::faceColour());
    for (int scale : {1, 2, 3})
        QCOMPARE(drawn(icon, 16, scale), blocks(picture, scale));
}

void TestWholePixelIcon::theDesignThatScalesWholeIsChosen()
{
    const QPixmap small(QStringLiteral(":/icon/brevon-16.xpm"));
    const QPixmap large(QStringLiteral(":/icon/brevon-32.xpm"));
    const QIcon icon = wholePixelIcon({large, small});
    QCOMPARE(drawn(icon, 16, 1), blocks(small, 1));
    QCOMPARE(drawn(icon, 32, 1), blocks(large, 1));
    QCOMPARE(drawn(icon, 48, 1), blocks(small, 3));
    QCOMPARE(drawn(icon, 32, 2), blocks(large, 2));
    QCOMPARE(drawn(icon, 128, 1), blocks(large, 4));
}

void TestWholePixelIcon::picturesStandOnTheirFaceUnderADarkPalette()
{
    const QPixmap bold = ImageList().picture(QStringLiteral("Bold"));
    const QIcon icon = wholePixelIcon({bold}, ImageList::faceColour());
    QCOMPARE(drawn(icon, 16, 1).pixelColor(0, 0).alpha(), 0);

    QPalette dark;
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    QApplication::setPalette(dark);
    // Where the design is transparent the face shows; elsewhere the design's own strokes.
    const QImage faced = drawn(icon, 16, 2);
    const QImage design = blocks(bold, 2);
    for (int y = 0; y < faced.height(); ++y) {
        for (int x = 0; x < faced.width(); ++x) {
            const QColor expected = design.pixelColor(x, y).alpha() ? design.pixelColor(x, y)
                                                                    : ImageList::faceColour();
            QCOMPARE(faced.pixelColor(x, y), expected);
        }
    }
}

void TestWholePixelIcon::disabledPicturesKeepTheirSize()
{
    const QIcon icon = wholePixelIcon({ImageList().picture(QStringLiteral("Open"))});
    QCOMPARE(icon.pixmap(QSize(16, 16), 2.0, QIcon::Disabled).size(), QSize(32, 32));
}

QTEST_MAIN(TestWholePixelIcon)
#include "tst_wholepixelicon.moc"
