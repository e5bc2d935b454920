#include "rtf/picturereader.h"

namespace rtf {

namespace {

// Bounds what one picture group may hold beyond its data.
constexpr qsizetype MaxPictureWords = 4096;

} // namespace

void PictureReader::start()
{
    m_picture = Picture();
    m_highNibble = -1;
}

void PictureReader::word(Keyword keyword, std::string_view name, bool hasParameter, int parameter)
{
    Picture &picture = m_picture;
    if (picture.words.size() < MaxPictureWords) {
        picture.words += '\\';
        picture.words += QByteArrayView(name.data(), qsizetype(name.size()));
        if (hasParameter)
            picture.words += QByteArray::number(parameter);
    }
    switch (keyword) {
    case Keyword::PngBlip: picture.kind = Picture::Kind::Png; break;
    case Keyword::JpegBlip: picture.kind = Picture::Kind::Jpeg; break;
    case Keyword::PictureWidth: picture.picw = parameter; break;
    case Keyword::PictureHeight: picture.pich = parameter; break;
    case Keyword::PictureGoalWidth: picture.goalWidth = parameter; break;
    case Keyword::PictureGoalHeight: picture.goalHeight = parameter; break;
    case Keyword::PictureScaleX: picture.scaleX = parameter; break;
    case Keyword::PictureScaleY: picture.scaleY = parameter; break;
    default: break;
    }
}

void PictureReader::hexText(std::string_view bytes)
{
    QByteArray &data = m_picture.data;
    for (char c : bytes) {
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else
            continue;
        if (m_highNibble < 0) {
            m_highNibble = value;
        } else {
            data.append(char(m_highNibble * 16 + value));
            m_highNibble = -1;
        }
    }
}

} // namespace rtf
