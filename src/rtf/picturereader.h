#pragma once

#include "rtf/keywords.h"
#include "rtf/sink.h"

#include <string_view>

namespace rtf {

// One \pict group: its control words as written, what they say of the picture, and its
// data, in hex digits or \bin bytes.
class PictureReader
{
public:
    // A \pict group opens.
    void start();
    void word(Keyword keyword, std::string_view name, bool hasParameter, int parameter);
    // Hex digits; anything else between them is skipped.
    void hexText(std::string_view bytes);
    void binary(std::string_view bytes) { m_picture.data.append(bytes.data(), qsizetype(bytes.size())); }
    // Its {\*\picprop} group, the only group kept inside a picture.
    void setProperties(QByteArray group) { m_picture.properties = std::move(group); }

    const Picture &picture() const { return m_picture; }
    void clear() { m_picture = Picture(); }

private:
    Picture m_picture;
    int m_highNibble = -1; // a hex digit waiting for its partner
};

} // namespace rtf
