#include "rtf/tabstops.h"

#include "app/twips.h"

#include <cctype>

namespace rtf {

namespace {

// Calls onWord(name, value, end) for each control word in order; end is just past its number.
template <typename OnWord>
void forEachWord(QByteArrayView words, OnWord onWord)
{
    qsizetype i = 0;
    while (i < words.size()) {
        if (words[i] != '\\') {
            ++i;
            continue;
        }
        const qsizetype nameStart = ++i;
        while (i < words.size() && std::isalpha(uchar(words[i])))
            ++i;
        const QByteArrayView name = words.sliced(nameStart, i - nameStart);
        const qsizetype numberStart = i;
        if (i < words.size() && words[i] == '-')
            ++i;
        while (i < words.size() && std::isdigit(uchar(words[i])))
            ++i;
        onWord(name, words.sliced(numberStart, i - numberStart).toInt(), i);
    }
}

bool isStop(QByteArrayView name)
{
    return name == "tx" || name == "tb";
}

} // namespace

QList<QTextOption::Tab> tabStops(QByteArrayView words)
{
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType type = QTextOption::LeftTab;
    QChar delimiter;
    forEachWord(words, [&](QByteArrayView name, int value, qsizetype) {
        if (name == "tqr") {
            type = QTextOption::RightTab;
        } else if (name == "tqc") {
            type = QTextOption::CenterTab;
        } else if (name == "tqdec") {
            type = QTextOption::DelimiterTab;
            delimiter = u'.';
        } else if (isStop(name)) {
            if (name == "tx" && value >= 0)
                tabs.append(QTextOption::Tab(twipsToPixelsF(value), type, delimiter));
            type = QTextOption::LeftTab;
            delimiter = QChar();
        }
    });
    return tabs;
}

qsizetype settledTabWords(QByteArrayView words)
{
    qsizetype settled = 0;
    forEachWord(words, [&](QByteArrayView name, int, qsizetype end) {
        if (isStop(name))
            settled = end;
    });
    return settled;
}

} // namespace rtf
