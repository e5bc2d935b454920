#pragma once

#include "rtf/keywords.h"
#include "rtf/sink.h"

#include <QByteArrayView>
#include <QString>
#include <string_view>

namespace rtf {

// Word numbers footnotes 1, 2, 3 and endnotes i, ii, iii, each on their own. A reference
// comes before its note, whose \ftnalt says it is an endnote: it is numbered as a footnote
// until its note says otherwise. A mark whose note never comes stays a footnote's, as it is
// when saved, whatever notes follow it.
class NoteNumbering
{
public:
    // A \ftnn or \aftnn word: how footnotes or endnotes are numbered from here on.
    void setNumbering(Keyword keyword, std::string_view name);
    // The number the next note reference shows.
    QString nextReference();
    // The number of the reference before a note's group when that note is an endnote;
    // empty when it is a footnote, whose number stands.
    QString endnoteNumber(QByteArrayView group);

private:
    int m_footnotes = 0; // footnote references so far
    int m_endnotes = 0;
    ListKind m_footnoteNumbering = ListKind::Decimal;
    ListKind m_endnoteNumbering = ListKind::LowerRoman;
};

} // namespace rtf
