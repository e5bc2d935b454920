#pragma once

#include "rtf/sink.h"
#include "rtf/tablelayout.h"

#include <QHash>
#include <QTextCharFormat>
#include <QTextTableFormat>
#include <QTextCursor>
#include <array>
#include <memory>
#include <span>
#include <vector>

class QTextDocument;
class QTextList;

namespace rtf {

// Builds a QTextDocument from what the reader finds. A paragraph's runs wait until its end,
// which says where it goes: into the body, or into a cell of a table. Tables wait until
// they end and then go in whole, so Qt sizes each one once.
class DocumentBuilder final : public Sink
{
public:
    explicit DocumentBuilder(QTextDocument &document);
    ~DocumentBuilder() override;

    void text(QStringView text, TextStyle &&style) override;
    void paragraphEnd(const ParagraphStyle &style) override;
    void documentEnd(const ParagraphStyle &style, bool applyStyle) override;
    void cellEnd(const ParagraphStyle &style, int depth) override;
    bool rowEnd(const RowFormat &row, int depth, const ParagraphStyle &textStyle) override;
    void picture(const Picture &picture, const TextStyle &style) override;
    void note(int noteId, const QByteArray &group, const QString &number) override;
    void wrapped(int wrapId, const QByteArray &group, const TextStyle &openedIn) override;
    void document(const KeptDocument &kept) override;

private:
    struct Run {
        TextStyle style;
        QString text;
        std::unique_ptr<Picture> picture;
    };
    struct Paragraph {
        std::vector<Run> runs;
        ParagraphStyle style;
    };
    struct Table;
    struct Content {
        Paragraph paragraph;
        std::unique_ptr<Table> table; // set: this content is a nested table
    };
    struct Cell {
        std::vector<Content> content;
    };
    struct Row {
        std::vector<Cell> cells;
        RowFormat format;
    };
    struct Table {
        std::vector<Row> rows;
        std::vector<Cell> cells; // the row in progress
        Cell cell;               // the cell in progress
    };

    Paragraph takeParagraph(const ParagraphStyle &style);
    static void joinRuns(std::vector<Run> &runs);
    void openTables(std::size_t depth);
    void closeTable();
    static void endCellOf(Table &table);
    static void endRowOf(Table &table, const RowFormat &format);

    void insertRun(const Run &run);
    void insertParagraph(Paragraph &paragraph);
    void insertTable(Table &table);
    void insertRows(std::vector<Row> &rows, std::span<const RowShape> shapes, const RowGroup &group);
    void insertCell(Cell &cell);
    static bool hasContent(const Cell &cell);
    static QByteArray takeSectionStart(Table &table);
    static QTextTableFormat tableFormat(const std::vector<int> &columnTwips, bool borders);
    void fillCell(Cell &cell, qint64 twips);
    void markCell(int position, const Region &region, const QList<int> *keptEdges);
    void insertPicture(const Picture &picture, const TextStyle &style);
    QString placeholderFor(int width, int height);
    bool asList(const ParagraphStyle &style) const;
    const QTextBlockFormat &blockFormatFor(const ParagraphStyle &style);
    void attachToList(const ParagraphStyle &style);
    QTextCharFormat markerFormat(const Paragraph &paragraph);
    static void applyKeptParagraph(const ParagraphStyle &style, QTextBlockFormat &format);
    const QTextCharFormat &formatFor(const TextStyle &style);

    QTextDocument &m_document;
    QTextCursor m_cursor;
    bool m_undoWasEnabled;
    bool m_finished = false;
    // The cursor's paragraph is finished: the next one needs a paragraph of its own, while a
    // table goes straight after it.
    bool m_paragraphBefore = false;
    std::vector<Run> m_runs;                     // the paragraph in progress
    std::vector<std::unique_ptr<Table>> m_open;  // m_open[0] is the outermost open table
    // Each distinct run style's format, built once: runs of one style then share one
    // format object, whose hash Qt computes only once.
    QHash<TextStyle, QTextCharFormat> m_formats;
    // Each distinct paragraph style's format, in a list and outside one.
    std::array<QHash<ParagraphStyle, QTextBlockFormat>, 2> m_blockFormats;
    int m_pictures = 0;
    QHash<quint64, QString> m_placeholders;
    qint64 m_placeholderPixels = 0;
    int m_room;                  // twips a row without widths shares out: the page or a cell
    MergeBudget m_mergeBudget;   // for the whole document
    // The lists of the current run of list paragraphs, one per level.
    std::array<QTextList *, 9> m_lists{};
    std::array<ListKind, 9> m_listKinds{};
    std::array<int, 9> m_listLengths{};
    int m_listParagraphs = 0;
};

} // namespace rtf
