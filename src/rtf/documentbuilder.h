#pragma once

#include "rtf/sink.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <array>

class QTextDocument;
class QTextList;

namespace rtf {

// Builds a QTextDocument from what the reader finds. Text is buffered until the style
// changes, so the document sees one insertion per run rather than per character.
class DocumentBuilder final : public Sink
{
public:
    explicit DocumentBuilder(QTextDocument &document);
    ~DocumentBuilder() override;

    void text(QStringView text, const TextStyle &style) override;
    void paragraphEnd(const ParagraphStyle &style) override;
    void documentEnd(const ParagraphStyle &style, bool applyStyle) override;

private:
    void flush();
    void applyParagraph(const ParagraphStyle &style);
    const QTextCharFormat &formatFor(const TextStyle &style);

    QTextDocument &m_document;
    QTextCursor m_cursor;
    bool m_undoWasEnabled;
    bool m_finished = false;
    QString m_buffer;
    TextStyle m_bufferStyle;
    TextStyle m_formatStyle;
    QTextCharFormat m_format;
    bool m_formatValid = false;
    // The lists of the current run of list paragraphs, one per level.
    std::array<QTextList *, 9> m_lists{};
    std::array<ListKind, 9> m_listKinds{};
    std::array<int, 9> m_listLengths{};
    int m_listParagraphs = 0;
};

} // namespace rtf
