#pragma once
// Test helpers: a readable dump of what a document holds, so that comparisons print the
// first difference instead of "documents differ".

#include "rtf/keptformat.h"
#include "rtf/underline.h"
#include "rtf/pictureformat.h"
#include "rtf/rtf.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

namespace rtftest {

inline QString colorName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

// What the reader keeps beyond what is shown, each as its number and a digest of its value.
inline QStringList keptDump(const QTextFormat &f)
{
    QStringList p;
    const auto properties = f.properties();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        // Ids only tell kept things apart; which of the file's lists a paragraph names is
        // settled by the first save, which writes a list table where the file had none. The
        // paragraph Qt keeps before a leading table is Qt's, whatever the file said.
        if (it.key() < rtf::KeptBefore || it.key() >= rtf::KeptBefore + 0x100 || it.key() == rtf::KeptBeforeId
            || it.key() == rtf::NoteId || it.key() == rtf::WrappedId || it.key() == rtf::FieldId || it.key() == rtf::ListOverrideNumber || it.key() == rtf::ListLevelNumber
            || it.key() == rtf::UnderlineWord || it.key() == rtf::HeldBeforeTable)
            continue;
        QByteArray value = it.value().userType() == QMetaType::QByteArray ? it.value().toByteArray()
                                                                          : it.value().toString().toUtf8();
        if (it.value().userType() == QMetaType::QStringList)
            value = it.value().toStringList().join(u'|').toUtf8();
        p << QStringLiteral("k%1=%2:%3").arg(it.key() - rtf::KeptBefore, 0, 16).arg(value.size())
                 .arg(QString::fromLatin1(QCryptographicHash::hash(value, QCryptographicHash::Md5).toHex().left(8)));
    }
    return p;
}

inline QString charFormatDump(const QTextCharFormat &f, const QFont *shownIn = nullptr)
{
    QStringList p;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        p << "font=" + families.first();
    else if (shownIn)
        p << "font=" + shownIn->family();
    if (f.hasProperty(QTextFormat::FontPointSize))
        p << "pt=" + QString::number(f.fontPointSize());
    else if (shownIn && !f.isImageFormat())
        p << "pt=" + QString::number(shownIn->pointSizeF());
    if (f.fontWeight() >= QFont::DemiBold)
        p << "b";
    if (f.fontItalic())
        p << "i";
    if (f.underlineStyle() != QTextCharFormat::NoUnderline) {
        const auto kind = std::size_t(f.intProperty(rtf::UnderlineWord));
        p << (kind ? QStringLiteral("ul=%1").arg(QLatin1StringView(rtf::underlineKinds.at(kind).word)) : QStringLiteral("ul"));
    }
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
    if (f.isAnchor())
        p << "href=" + f.anchorHref();
    if (f.isImageFormat()) {
        // The bytes as a digest: a picture compares by its data, not by its resource name.
        const QTextImageFormat image = f.toImageFormat();
        const QByteArray data = image.property(rtf::PictureData).toByteArray();
        p << QStringLiteral("img=%1x%2").arg(image.width()).arg(image.height())
          << "kind=" + QString::number(image.intProperty(rtf::PictureKind))
          << "data=" + QString::number(data.size()) + ':'
                + QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex().left(12));
        if (image.hasProperty(rtf::PictureWords))
            p << "words=" + QString::fromLatin1(image.property(rtf::PictureWords).toByteArray());
    }
    p << keptDump(f);
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
    if (f.hasProperty(QTextFormat::LineHeightType))
        p << QStringLiteral("line=%1/%2").arg(f.lineHeightType()).arg(f.lineHeight());
    if (f.pageBreakPolicy() != QTextFormat::PageBreak_Auto)
        p << QStringLiteral("break=%1").arg(int(f.pageBreakPolicy()));
    if (const QString c = colorName(f.background()); !c.isEmpty())
        p << "shade=" + c;
    if (!f.tabPositions().isEmpty())
        p << QStringLiteral("tabs=%1").arg(f.tabPositions().size());
    p << keptDump(f);
    return p.join(',');
}

inline QString blockDump(const QTextBlock &block, bool asShown = false)
{
    QString out = '[' + blockFormatDump(block) + ']';
    QString lastFormat;
    bool first = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QFont shownIn = block.document()->defaultFont();
        const QString format = charFormatDump(it.fragment().charFormat(), asShown ? &shownIn : nullptr);
        if (first || format != lastFormat)
            out += '{' + format + '}';
        out += it.fragment().text();
        lastFormat = format;
        first = false;
    }
    return out;
}

inline void frameDump(QTextFrame::iterator it, const QString &indent, QString &out, bool asShown = false);

inline void tableDump(const QTextTable &table, const QString &indent, QString &out, bool asShown)
{
    const QTextTableFormat format = table.format();
    QStringList widths;
    for (const QTextLength &length : format.columnWidthConstraints())
        widths << QString::number(length.rawValue()) + (length.type() == QTextLength::FixedLength ? "" : "?");
    out += indent + QStringLiteral("<table %1x%2 widths=%3 border=%4>\n")
                        .arg(table.rows()).arg(table.columns()).arg(widths.join(',')).arg(format.border());
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                out += indent + QStringLiteral(" <cell %1,%2 in %3,%4>\n").arg(r).arg(c).arg(cell.row()).arg(cell.column());
                continue;
            }
            QString span;
            if (cell.rowSpan() > 1)
                span += QStringLiteral(" rowspan=%1").arg(cell.rowSpan());
            if (cell.columnSpan() > 1)
                span += QStringLiteral(" colspan=%1").arg(cell.columnSpan());
            // The edges the file gave the cell, when it has its own: "left|right,right...".
            if (const QList<int> edges = cell.format().property(rtf::KeptCellEdges).value<QList<int>>(); edges.size() >= 3) {
                QStringList rights;
                for (qsizetype i = 3; i < edges.size(); ++i)
                    rights << QString::number(edges[i]);
                span += QStringLiteral(" edges=%1|%2").arg(edges[2]).arg(rights.join(u','));
            }
            out += indent + QStringLiteral(" <cell %1,%2%3>\n").arg(r).arg(c).arg(span);
            frameDump(cell.begin(), indent + "  ", out, asShown);
        }
    }
    out += indent + "</table>\n";
}

inline void frameDump(QTextFrame::iterator it, const QString &indent, QString &out, bool asShown)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *frame = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(frame))
                tableDump(*table, indent, out, asShown);
            else
                frameDump(frame->begin(), indent + "  ", out, asShown);
        } else {
            out += indent + blockDump(it.currentBlock(), asShown) + '\n';
        }
    }
}

// One line per paragraph (`asShown`: with the typeface and size text without its own is
// shown in, and what the document keeps of the file's own tables): "[paragraph format] {run format}text{run format}text", tables
// as their cells' paragraphs, indented under "<table rows x columns ...>"; a merged cell
// shows its spans, and the cells it covers name it.
// Adjacent runs of one format merge, since how Qt splits fragments is not content.
inline QString dump(const QTextDocument &document, bool asShown = false)
{
    QString out;
    if (asShown) {
    // Of the file's own tables only those a save never adds to.
    QTextFrameFormat kept;
    const QTextFrameFormat root = document.rootFrame()->frameFormat();
    for (const int property : {int(rtf::StyleSheetGroup), int(rtf::DocumentPrologue)}) {
        if (root.hasProperty(property))
            kept.setProperty(property, root.property(property));
    }
    if (const QStringList k = keptDump(kept); !k.isEmpty())
        out += "<document " + k.join(',') + ">\n";
    }
    frameDump(document.rootFrame()->begin(), QString(), out, asShown);
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

// A 40×20 red picture as PNG bytes, for documents that hold one.
inline QByteArray redPng()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace rtftest
