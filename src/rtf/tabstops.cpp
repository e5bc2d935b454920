#include "rtf/tabstops.h"

#include "app/twips.h"
#include "rtf/controlwords.h"

namespace rtf {

namespace {

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
    forEachControlWord(words, [&](QByteArrayView name, QByteArrayView number, qsizetype) {
        if (name == "tqr") {
            type = QTextOption::RightTab;
        } else if (name == "tqc") {
            type = QTextOption::CenterTab;
        } else if (name == "tqdec") {
            type = QTextOption::DelimiterTab;
            delimiter = u'.';
        } else if (isStop(name)) {
            if (const int value = number.toInt(); name == "tx" && value >= 0)
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
    forEachControlWord(words, [&](QByteArrayView name, QByteArrayView, qsizetype end) {
        if (isStop(name))
            settled = end;
    });
    return settled;
}

} // namespace rtf
