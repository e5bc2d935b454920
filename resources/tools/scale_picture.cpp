// Scales a picture by a whole factor, each pixel becoming a square of pixels, so that the
// icon stays as crisp as it was drawn. Used by the build: scale_picture IN FACTOR OUT.
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: scale_picture IN FACTOR OUT\n", stderr);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    const int factor = std::atoi(argv[2]);
    if (picture.isNull() || factor < 1) {
        std::fprintf(stderr, "scale_picture: cannot read %s or bad factor %s\n", argv[1], argv[2]);
        return 1;
    }
    const QImage scaled = picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation);
    if (!scaled.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "scale_picture: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
