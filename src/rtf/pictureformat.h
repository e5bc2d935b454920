#pragma once

#include <QTextFormat>

namespace rtf {

// Properties the reader leaves on a picture's QTextImageFormat for the writer: the bytes
// as they were in the file, and for pictures Qt cannot draw, the control words too, so a
// placeholder on screen still saves as the original picture.
enum PictureProperty {
    PictureData = QTextFormat::UserProperty + 0x5200,  // QByteArray
    PictureWords,                                      // QByteArray; only for kept pictures
    PictureKind,                                       // int: Picture::Kind
    PictureProperties,                                 // QByteArray: its {\\*\\picprop ...} group
};

} // namespace rtf
