#include "toolbar/imagelist.h"

#include <QBitmap>

namespace {

struct PictureRow {
    const char *key;
    const char *file;
};

// In the image list's order. Seven of them ("Double Underline", "unbold", the three
// alignments, "undoubleunderline1" and "font") are held but shown on no button.
constexpr PictureRow pictures[] = {
    {"Open", "open"},
    {"Save", "save"},
    {"Paste", "paste"},
    {"New", "new"},
    {"Italic", "italic"},
    {"Double Underline", "double-underline"},
    {"Bold", "bold"},
    {"Underline", "underline"},
    {"Properties", "properties"},
    {"Help", "help"},
    {"unbold", "unbold"},
    {"Align Left", "align-left"},
    {"Align Right", "align-right"},
    {"Center", "center"},
    {"uni", "uni"},
    {"ununderline", "ununderline"},
    {"undoubleunderline1", "undoubleunderline1"},
    {"unbold1", "unbold1"},
    {"font", "font"},
};

} // namespace

ImageList::ImageList(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("imlToolbarIcons"));
    for (const PictureRow &row : pictures) {
        m_pictures.append({QString::fromLatin1(row.key),
                           loadMasked(QStringLiteral(":/toolbar/%1.xpm").arg(QLatin1String(row.file)))});
    }
}

QPixmap ImageList::loadMasked(const QString &resource)
{
    QPixmap pixmap(resource);
    if (pixmap.isNull())
        qFatal("toolbar picture %s is missing from the resources", qPrintable(resource));
    pixmap.setMask(pixmap.createMaskFromColor(faceColour(), Qt::MaskInColor));
    return pixmap;
}

QStringList ImageList::keys() const
{
    QStringList keys;
    for (const auto &[key, picture] : m_pictures)
        keys.append(key);
    return keys;
}

QPixmap ImageList::picture(const QString &key) const
{
    for (const auto &[name, picture] : m_pictures) {
        if (name == key)
            return picture;
    }
    qFatal("no toolbar picture of key %s", qPrintable(key));
}
