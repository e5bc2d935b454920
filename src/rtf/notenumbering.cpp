#include "rtf/notenumbering.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace rtf {

namespace {

QString lowerRoman(int n)
{
    static constexpr std::pair<int, const char *> digits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
        {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    QString result;
    for (const auto &[value, letters] : digits) {
        for (; n >= value; n -= value)
            result += QLatin1StringView(letters);
    }
    return result;
}

// A note reference as Word shows it: 1, a, A, i or I; letters go on aa, bb after z.
QString noteNumber(int n, ListKind kind)
{
    switch (kind) {
    case ListKind::LowerAlpha: case ListKind::UpperAlpha: {
        const QChar letter(char16_t((kind == ListKind::LowerAlpha ? u'a' : u'A') + (n - 1) % 26));
        return QString(std::min((n - 1) / 26 + 1, 100), letter);
    }
    case ListKind::LowerRoman: return lowerRoman(n);
    case ListKind::UpperRoman: return lowerRoman(n).toUpper();
    default: return QString::number(n);
    }
}

// The numbering a \ftnn or \aftnn word names by its ending.
ListKind noteNumbering(std::string_view name)
{
    if (name.ends_with("alc")) return ListKind::LowerAlpha;
    if (name.ends_with("auc")) return ListKind::UpperAlpha;
    if (name.ends_with("rlc")) return ListKind::LowerRoman;
    if (name.ends_with("ruc")) return ListKind::UpperRoman;
    return ListKind::Decimal;
}

// Whether a \footnote group is an endnote: \ftnalt is among the control words that open
// it, before its text.
bool isEndnote(QByteArrayView group)
{
    const qsizetype note = group.indexOf(QByteArrayView("\\footnote"));
    if (note < 0)
        return false;
    qsizetype i = note + 1;
    while (i < group.size() && (std::isalnum(uchar(group[i])) || group[i] == '\\' || group[i] == ' ' || group[i] == '-'))
        ++i;
    return group.sliced(note, i - note).contains(QByteArrayView("\\ftnalt"));
}

} // namespace

void NoteNumbering::setNumbering(Keyword keyword, std::string_view name)
{
    if (keyword == Keyword::FootnoteNumbering)
        m_footnoteNumbering = noteNumbering(name);
    else if (keyword == Keyword::EndnoteNumbering)
        m_endnoteNumbering = noteNumbering(name);
}

QString NoteNumbering::nextReference()
{
    return noteNumber(++m_footnotes, m_footnoteNumbering);
}

QString NoteNumbering::endnoteNumber(QByteArrayView group)
{
    if (!isEndnote(group))
        return QString();
    --m_footnotes;
    return noteNumber(++m_endnotes, m_endnoteNumbering);
}

} // namespace rtf
