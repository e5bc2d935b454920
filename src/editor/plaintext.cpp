#include "editor/plaintext.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextDocument>

namespace PlainText {
namespace {

QString normaliseLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1252");
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace

QString decode(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return normaliseLineBreaks(decodeWith(QStringConverter::Utf8, view.sliced(3)));
    if (view.startsWith("\xFF\xFE"))
        return normaliseLineBreaks(decodeWith(QStringConverter::Utf16LE, view.sliced(2)));
    if (view.startsWith("\xFE\xFF"))
        return normaliseLineBreaks(decodeWith(QStringConverter::Utf16BE, view.sliced(2)));

    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        text = decodeWindows1252(view);
    return normaliseLineBreaks(std::move(text));
}

QByteArray encode(const QString &text)
{
    return normaliseLineBreaks(text).toUtf8();
}

QString fromDocument(const QTextDocument &document)
{
    QString text = document.toRawText();
    QString out;
    out.reserve(text.size());
    for (QChar c : std::as_const(text)) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // table cell and frame boundaries
        case 0xFDD1:
            out.append(QLatin1Char('\n'));
            break;
        case QChar::ObjectReplacementCharacter:
            break;
        default:
            out.append(c);
        }
    }
    return out;
}

} // namespace PlainText
