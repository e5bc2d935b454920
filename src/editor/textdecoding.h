#pragma once

#include "editor/textform.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace PlainText {

// A text file's bytes as the editing area takes them.
struct Decoded {
    struct StandIn {
        qsizetype position; // in text
        QByteArray bytes;
    };
    struct OtherLineEnd {
        int line;
        LineEnd lineEnd;
    };

    QString text; // one LF for each line end, whatever it was
    Form form;
    QList<StandIn> standIns;
    QList<OtherLineEnd> otherLineEnds; // the lines not ended as form.lineEnd says
};

// A byte-order mark says the encoding. Otherwise the bytes are UTF-8 when they are, or
// when they mostly are: a few invalid bytes among many valid multi-byte sequences are a
// damaged UTF-8 file rather than a Windows-1252 one. Anything else is Windows-1252.
Decoded decode(QByteArrayView bytes);

} // namespace PlainText
