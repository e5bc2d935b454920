#pragma once

#include <QColor>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace rtf {

enum class VerticalPosition : std::uint8_t { Normal, Super, Sub };

enum class ListKind : std::uint8_t { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

enum class Alignment : std::uint8_t { Left, Right, Center, Justify };

// Character formatting as the reader resolved it: font numbers and colour indexes are
// already looked up, so a sink never needs the document's tables.
struct TextStyle {
    QString family;          // empty: the document's default font
    int halfPoints = 0;      // 0: the default size
    QColor foreground;       // invalid: automatic colour
    QColor background;       // invalid: none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    VerticalPosition position = VerticalPosition::Normal;

    bool operator==(const TextStyle &) const = default;
};

// Lengths are in twips, as in the file.
struct ParagraphStyle {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    ListKind list = ListKind::None;
    int listLevel = 0;       // 0..8
};

// Receives the body of a document in reading order. Text arrives in runs of one style;
// a paragraph's style is known only at its end, as in RTF itself.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void text(QStringView text, const TextStyle &style) = 0;
    virtual void paragraphEnd(const ParagraphStyle &style) = 0;
    // Closes the last paragraph, which has no \par of its own. `applyStyle` is false when
    // that paragraph is only the empty remainder after a final \par, whose inherited
    // style (a list item, say) the file never meant for it.
    virtual void documentEnd(const ParagraphStyle &style, bool applyStyle) = 0;
};

} // namespace rtf
