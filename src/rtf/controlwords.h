#pragma once

#include <QByteArrayView>

#include <cctype>

namespace rtf {

// Calls onWord(name, number, end) for each control word in RTF kept as written, in order:
// `number` is its parameter as written (empty when it has none, with its sign), `end` is
// just past it. Symbols (\', \\) come with an empty name.
template <typename OnWord>
void forEachControlWord(QByteArrayView words, OnWord onWord)
{
    qsizetype i = 0;
    while (i < words.size()) {
        if (words[i] != '\\') {
            ++i;
            continue;
        }
        const qsizetype nameStart = ++i;
        while (i < words.size() && std::isalpha(static_cast<unsigned char>(words[i])))
            ++i;
        const QByteArrayView name = words.sliced(nameStart, i - nameStart);
        const qsizetype numberStart = i;
        if (i < words.size() && words[i] == '-')
            ++i;
        while (i < words.size() && std::isdigit(static_cast<unsigned char>(words[i])))
            ++i;
        onWord(name, words.sliced(numberStart, i - numberStart), i);
    }
}

} // namespace rtf
