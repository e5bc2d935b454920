#pragma once

#include <QTextCharFormat>

#include <array>
#include <string_view>

namespace rtf {

// The kinds of underline a file can ask for, and the line the editing area draws for each
// (Qt has no double or thick lines: those draw as the nearest it has and go back as written).
struct UnderlineKind {
    std::string_view word;
    QTextCharFormat::UnderlineStyle shown;
};

inline constexpr std::array<UnderlineKind, 17> underlineKinds{{
    {"ul", QTextCharFormat::SingleUnderline},         {"uld", QTextCharFormat::DotLine},
    {"uldash", QTextCharFormat::DashUnderline},       {"uldashd", QTextCharFormat::DashDotLine},
    {"uldashdd", QTextCharFormat::DashDotDotLine},    {"ulwave", QTextCharFormat::WaveUnderline},
    {"uldb", QTextCharFormat::SingleUnderline},       {"ulw", QTextCharFormat::SingleUnderline},
    {"ulth", QTextCharFormat::SingleUnderline},       {"ulthd", QTextCharFormat::DotLine},
    {"ulthdash", QTextCharFormat::DashUnderline},     {"ulldash", QTextCharFormat::DashUnderline},
    {"ulthldash", QTextCharFormat::DashUnderline},    {"ulthdashd", QTextCharFormat::DashDotLine},
    {"ulthdashdd", QTextCharFormat::DashDotDotLine},  {"ulhwave", QTextCharFormat::WaveUnderline},
    {"ululdbwave", QTextCharFormat::WaveUnderline},
}};

// 0 (a plain \ul) for a word that is not one of them.
inline int underlineKindOf(std::string_view word)
{
    for (std::size_t kind = 0; kind < underlineKinds.size(); ++kind) {
        if (underlineKinds[kind].word == word)
            return int(kind);
    }
    return 0;
}

// The word for a line drawn in the editing area: the first kind drawn that way.
inline std::string_view underlineWordFor(QTextCharFormat::UnderlineStyle shown)
{
    for (const UnderlineKind &kind : underlineKinds) {
        if (kind.shown == shown)
            return kind.word;
    }
    return underlineKinds[0].word;
}

} // namespace rtf
