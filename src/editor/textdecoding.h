#pragma once

#include "editor/textform.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace PlainText {

// A line longer than this many characters becomes paragraphs of at most this many, the
// last one's end being the line's: the toolkit lays a paragraph out whole, at once and
// after each change, so one of millions of characters took seconds to show and a few
// hundred million crashed it. Each piece ends after a space where one is near the end.
inline constexpr qsizetype LinePieceLength = 1 << 16;

// A text file's bytes as the editing area takes them.
struct Decoded {
    struct StandIn {
        qsizetype position; // in text
        QByteArray bytes;
    };
    struct OtherLineEnd {
        int paragraph;
        LineEnd lineEnd;
    };

    QString text; // one LF for each line end, whatever it was, and between pieces of a line
    Form form;
    QList<StandIn> standIns;
    QList<OtherLineEnd> otherLineEnds; // the lines not ended as form.lineEnd says
    QList<int> pieceEnds; // the paragraphs that end a piece of a line, in order
};

// A byte-order mark says the encoding. Otherwise the bytes are UTF-8 when they are, or
// when they mostly are: a few invalid bytes among many valid multi-byte sequences are a
// damaged UTF-8 file rather than a Windows-1252 one. Anything else is Windows-1252.
Decoded decode(QByteArrayView bytes);

} // namespace PlainText
