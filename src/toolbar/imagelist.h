#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

// The toolbar's pictures `imlToolbarIcons`: nineteen keyed 16 x 16 pictures in a fixed
// order. Silver (0xC0C0C0) pixels are transparent so the toolbar shows through.
class ImageList : public QObject
{
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);

    QStringList keys() const;
    // The picture of that key. Asking for a key the list lacks is a programming error and
    // ends the program, in every build type.
    QPixmap picture(const QString &key) const;

    static QPixmap loadMasked(const QString &resource);
    // The face the pictures were drawn on, silver.
    static QColor faceColour() { return QColor(0xC0, 0xC0, 0xC0); }

private:
    QList<std::pair<QString, QPixmap>> m_pictures;
};
