#include "editor/richtextbox.h"

#include "editor/documentfile.h"
#include "editor/plaintext.h"
#include "rtf/rtf.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

Status badKind(int kind)
{
    return Error{5, QStringLiteral("Invalid document kind %1").arg(kind)};
}

bool isKnownKind(int kind)
{
    return kind == int(DocumentKind::Rtf) || kind == int(DocumentKind::PlainText);
}

bool ownedBy(const QObject *object, const QObject *owner)
{
    for (const QObject *o = object ? object->parent() : nullptr; o; o = o->parent()) {
        if (o == owner)
            return true;
    }
    return false;
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("txtbox"));
    setAcceptRichText(true);
}

void RichTextBox::setSelectionText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void RichTextBox::mergeFormat(const QTextCharFormat &format)
{
    mergeCurrentCharFormat(format);
}

void RichTextBox::setSelectionColor(BgrColour colour)
{
    QTextCharFormat format;
    format.setForeground(colourFromBgr(colour));
    mergeFormat(format);
}

void RichTextBox::setSelectionFontName(const QString &name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    mergeFormat(format);
}

void RichTextBox::setSelectionFontSize(qint16 points)
{
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeFormat(format);
}

void RichTextBox::setSelectionBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeFormat(format);
}

void RichTextBox::setSelectionItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeFormat(format);
}

void RichTextBox::setSelectionStrikethrough(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeFormat(format);
}

void RichTextBox::setSelectionUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeFormat(format);
}

void RichTextBox::setSelectionAlignment(qint16 alignment)
{
    switch (alignment) {
    case 1: setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case 2: setAlignment(Qt::AlignHCenter); break;
    default: setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    }
}

void RichTextBox::setSelectionBullet(bool on)
{
    QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());

    cursor.beginEditBlock();
    if (on) {
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(1);
        QTextList *list = nullptr;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            QTextList *current = block.textList();
            const bool bulleted = current && current->format().style() == QTextListFormat::ListDisc;
            if (!bulleted) {
                if (current)
                    current->remove(block);
                if (!list) {
                    QTextCursor at(block);
                    list = at.createList(bullets);
                } else {
                    list->add(block);
                }
            } else {
                list = current;
            }
            if (block == last)
                break;
        }
    } else {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextList *list = block.textList()) {
                list->remove(block);
                QTextCursor at(block);
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                at.setBlockFormat(format);
            }
            if (block == last)
                break;
        }
    }
    cursor.endEditBlock();
}

void RichTextBox::setText(const QString &text)
{
    setPlainText(text);
}

void RichTextBox::setBackColor(BgrColour colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, colourFromBgr(colour));
    setPalette(palette);
}

BgrColour RichTextBox::backColor() const
{
    return bgrFromColour(palette().color(QPalette::Base));
}

Status RichTextBox::loadFile(const QString &fileName, int kind)
{
    if (!isKnownKind(kind))
        return badKind(kind);
    Result<QByteArray> bytes = DocumentFile::read(fileName);
    if (!bytes.ok())
        return bytes.error();

    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font());
    if (kind == int(DocumentKind::Rtf)) {
        if (auto failure = rtf::read(bytes.value(), *document)) {
            return Error{ErrorNumber::InvalidFileFormat,
                         QStringLiteral("%1: \"%2\"").arg(failure->description, fileName)};
        }
    } else {
        document->setPlainText(PlainText::decode(bytes.value()));
    }
    adoptDocument(std::move(document));
    return {};
}

Status RichTextBox::saveFile(const QString &fileName, int kind) const
{
    if (!isKnownKind(kind))
        return badKind(kind);
    const QByteArray bytes = kind == int(DocumentKind::Rtf)
                                 ? rtf::write(*document())
                                 : PlainText::encode(PlainText::fromDocument(*document()));
    return DocumentFile::write(fileName, bytes);
}

void RichTextBox::adoptDocument(std::unique_ptr<QTextDocument> document)
{
    QPointer<QTextDocument> previous = this->document();
    document->setParent(this);
    setDocument(document.release());
    setCurrentCharFormat(QTextCharFormat());
    if (previous && previous != this->document() && ownedBy(previous, this))
        delete previous;
}
