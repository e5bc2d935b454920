#include "rtf/tabstops.h"

#include "app/twips.h"

#include <cctype>

namespace rtf {

QList<QTextOption::Tab> tabStops(QByteArrayView words)
{
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType type = QTextOption::LeftTab;
    QChar delimiter;
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
        const int value = words.sliced(numberStart, i - numberStart).toInt();
        if (name == "tqr") {
            type = QTextOption::RightTab;
        } else if (name == "tqc") {
            type = QTextOption::CenterTab;
        } else if (name == "tqdec") {
            type = QTextOption::DelimiterTab;
            delimiter = u'.';
        } else if (name == "tx" || name == "tb") {
            if (name == "tx" && value >= 0)
                tabs.append(QTextOption::Tab(twipsToPixelsF(value), type, delimiter));
            type = QTextOption::LeftTab;
            delimiter = QChar();
        }
    }
    return tabs;
}

} // namespace rtf
