#pragma once
// Test helpers: a readable dump of what a document holds, so that comparisons print the
// first difference instead of "documents differ".

#include "rtf/rtf.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace rtftest {

inline QString colorName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

inline QString charFormatDump(const QTextCharFormat &f)
{
    QStringList p;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        p << "font=" + families.first();
    if (f.hasProperty(QTextFormat::FontPointSize))
        p << "pt=" + QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        p << "b";
    if (f.fontItalic())
        p << "i";
    if (f.fontUnderline())
        p << "ul";
    if (f.fontStrikeOut())
        p << "strike";
    if (const QString c = colorName(f.foreground()); !c.isEmpty())
        p << "fg=" + c;
    if (const QString c = colorName(f.background()); !c.isEmpty())
        p << "bg=" + c;
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        p << "super";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        p << "sub";
    return p.join(',');
}

inline QString blockFormatDump(const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QStringList p;
    const auto align = f.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        p << "right";
    else if (align & Qt::AlignHCenter)
        p << "center";
    else if (align & Qt::AlignJustify)
        p << "justify";
    auto length = [&p](const char *name, double v) {
        if (v != 0)
            p << QString::fromLatin1(name) + '=' + QString::number(v);
    };
    length("left", f.leftMargin());
    length("right", f.rightMargin());
    length("first", f.textIndent());
    length("before", f.topMargin());
    length("after", f.bottomMargin());
    if (const QTextList *list = block.textList())
        p << QStringLiteral("list=%1/%2").arg(int(list->format().style())).arg(list->format().indent());
    return p.join(',');
}

// One line per paragraph: "[paragraph format] {run format}text{run format}text".
// Adjacent runs of one format merge, since how Qt splits fragments is not content.
inline QString dump(const QTextDocument &document)
{
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += '[' + blockFormatDump(block) + ']';
        QString lastFormat;
        bool first = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString format = charFormatDump(it.fragment().charFormat());
            if (first || format != lastFormat)
                out += '{' + format + '}';
            out += it.fragment().text();
            lastFormat = format;
            first = false;
        }
        out += '\n';
    }
    return out;
}

// The text with paragraphs joined by newlines and every character kept as it is.
inline QString text(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join('\n');
}

inline QString readText(const QByteArray &rtf)
{
    QTextDocument document;
    if (const auto error = rtf::read(rtf, document))
        return "ERROR: " + error->description;
    return text(document);
}

} // namespace rtftest
