// Preview and check Brevon's icon and toolbar pictures.
//
// Loads every XPM with Qt's own loader, checks its size, and draws:
//   OUT/pictures-sheet.png  the toolbar pictures enlarged 8x, labelled
//   OUT/pictures-strip.png  the toolbar pictures at real size (and 2x) on a
//                           toolbar-like strip, silver made transparent
//   OUT/icon-sheet.png      the program icon, enlarged and at real size
//
// Build and run (from the repository root):
//   g++ -std=c++20 -fPIC resources/tools/preview_pictures.cpp -o /tmp/preview_pictures \
//       $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/preview_pictures resources /tmp

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QFont>
#include <QtCore/QStringList>
#include <cstdio>

static const char *const keys[] = {
    "open", "save", "paste", "new", "italic", "double-underline", "bold",
    "underline", "properties", "help", "unbold", "align-left", "align-right",
    "center", "uni", "ununderline", "undoubleunderline1", "unbold1", "font"};

static int failures = 0;

static QImage load(const QString &path, int size)
{
    QImage img(path);
    if (img.isNull()) {
        std::fprintf(stderr, "FAIL %s: does not load\n", qPrintable(path));
        ++failures;
        img = QImage(size, size, QImage::Format_ARGB32);
        img.fill(Qt::magenta);
    } else if (img.width() != size || img.height() != size) {
        std::fprintf(stderr, "FAIL %s: %dx%d, want %dx%d\n", qPrintable(path),
                     img.width(), img.height(), size, size);
        ++failures;
    } else {
        std::printf("ok   %s %dx%d\n", qPrintable(path), img.width(), img.height());
    }
    return img.convertToFormat(QImage::Format_ARGB32);
}

// What the program does: exactly-silver pixels become transparent.
static QImage masked(const QImage &img)
{
    QImage out = img;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((out.pixel(x, y) & 0xFFFFFFu) == 0xC0C0C0u)
                out.setPixel(x, y, 0);
    return out;
}

static void drawChecker(QPainter &p, const QRect &r)
{
    for (int y = r.top(); y <= r.bottom(); y += 8)
        for (int x = r.left(); x <= r.right(); x += 8)
            p.fillRect(QRect(x, y, 8, 8).intersected(r),
                       ((x / 8 + y / 8) % 2) ? QColor(0xE0, 0xE0, 0xE0) : QColor(0xA8, 0xA8, 0xA8));
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString res = argc > 1 ? argv[1] : "resources";
    const QString out = argc > 2 ? argv[2] : "/tmp";
    const int n = int(sizeof keys / sizeof *keys);

    QList<QImage> pics;
    for (const char *k : keys)
        pics << load(res + "/toolbar/" + k + ".xpm", 16);

    QFont font("DejaVu Sans");
    font.setPixelSize(13);

    // Enlarged sheet.
    const int z = 8, cell = 16 * z + 64, cols = 5;
    QImage sheet(cols * cell + 16, ((n + cols - 1) / cols) * (cell + 24) + 16,
                 QImage::Format_ARGB32);
    sheet.fill(QColor(0x60, 0x60, 0x70));
    {
        QPainter p(&sheet);
        p.setFont(font);
        for (int i = 0; i < n; ++i) {
            const int x = 16 + (i % cols) * cell, y = 16 + (i / cols) * (cell + 24);
            p.drawImage(QRect(x, y, 16 * z, 16 * z), pics[i]);
            p.setPen(Qt::white);
            p.drawText(QRect(x - 8, y + 16 * z + 2, 16 * z + 16, 20), Qt::AlignCenter,
                       QString("%1. %2").arg(i + 1).arg(keys[i]));
        }
    }
    sheet.save(out + "/pictures-sheet.png");

    // Real-size strip, on a plain toolbar colour and on a checker, at 1x and 2x.
    QImage strip(n * 24 + 16, 140, QImage::Format_ARGB32);
    strip.fill(QColor(0x40, 0x40, 0x40));
    {
        QPainter p(&strip);
        const QColor bars[] = {QColor(0xC0, 0xC0, 0xC0), QColor(0xEF, 0xEF, 0xEF)};
        for (int b = 0; b < 2; ++b) {
            p.fillRect(QRect(0, 4 + b * 28, strip.width(), 24), bars[b]);
            for (int i = 0; i < n; ++i)
                p.drawImage(8 + i * 24, 8 + b * 28, masked(pics[i]));
        }
        p.fillRect(QRect(0, 64, strip.width(), 72), QColor(0xEF, 0xEF, 0xEF));
        for (int i = 0; i < n; ++i)
            p.drawImage(QRect(8 + (i % 10) * 40, 68 + (i / 10) * 36, 32, 32), masked(pics[i]));
    }
    strip.save(out + "/pictures-strip.png");

    // Icon sheet.
    const QImage i32 = load(res + "/icon/brevon-32.xpm", 32);
    const QImage i16 = load(res + "/icon/brevon-16.xpm", 16);
    QImage isheet(32 * 8 + 16 * 8 + 3 * 16 + 160, 32 * 8 + 32, QImage::Format_ARGB32);
    isheet.fill(QColor(0x60, 0x60, 0x70));
    {
        QPainter p(&isheet);
        QRect a(16, 16, 256, 256), b(16 + 256 + 16, 16, 128, 128);
        drawChecker(p, a);
        drawChecker(p, b);
        p.drawImage(a, i32);
        p.drawImage(b, i16);
        int x = b.right() + 16;
        const QColor bgs[] = {Qt::white, QColor(0xC0, 0xC0, 0xC0), QColor(0x00, 0x80, 0x80), Qt::black};
        for (int k = 0; k < 4; ++k) {
            p.fillRect(QRect(x, 16 + k * 60, 56, 56), bgs[k]);
            p.drawImage(x + 4, 16 + k * 60 + 12, i32);
            p.drawImage(x + 38, 16 + k * 60 + 20, i16);
        }
    }
    isheet.save(out + "/icon-sheet.png");

    std::printf("%s\n", failures ? "FAILED" : "all pictures load");
    return failures ? 1 : 0;
}
