#pragma once

#include "app/error.h"
#include "editor/documentkind.h"
#include "editor/replaceddocuments.h"

#include <QTextEdit>

#include <memory>
#include <optional>

class QMenu;
class QTimer;
class QTextDocument;

// The editing area `txtbox`: a rich-text edit that the commands drive only by setting
// values on it and by loading and saving whole documents. Selection attributes act on the
// selected text, or with an empty selection on the text typed next at the caret; paragraph
// attributes act on every paragraph the selection touches.
class RichTextBox : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    void setSelectionText(const QString &text);
    void setSelectionColor(const QColor &colour);
    // The typeface is kept exactly as named, also when no such font is installed.
    void setSelectionFontName(const QString &name);
    void setSelectionFontSize(int points);
    void setSelectionBold(bool on);
    void setSelectionItalic(bool on);
    void setSelectionStrikethrough(bool on);
    void setSelectionUnderline(bool on);
    // Left, right or centred; a left or right alignment holds whatever the text's direction.
    void setSelectionAlignment(Qt::Alignment alignment);
    void setSelectionBullet(bool on);
    // Replaces the whole document with plain text; "" leaves it empty. Like Open, it can be
    // undone with the undo key, and the replaced document comes back whole. Unlike
    // QTextEdit::setText, it never interprets markup.
    void replaceWithText(const QString &text);
    void setBackColor(const QColor &colour);
    QColor backColor() const;

    // Replaces the whole document with the file read as that kind. The file is read and
    // parsed completely first: a failure leaves the document exactly as it was. The undo
    // key brings the replaced document back, and the redo key this one again.
    Status loadFile(const QString &fileName, DocumentKind kind);
    // Writes the whole document to the file as that kind, atomically.
    Status saveFile(const QString &fileName, DocumentKind kind) const;

    // The edit's own menu (Undo, Cut, Copy, ...), whose Undo and Redo also reach across a
    // replaced document as the keys do. The caller owns it.
    QMenu *createContextMenu(const QPoint &position);

    // Selects the whole document, as QTextEdit::selectAll does, except that in a big document
    // not laid out to its end the selection is made once the layout gets there, or at once
    // when anything else comes first (see keyPressEvent).
    void selectWholeDocument();

    // The dashed line drawn across the editing area where the document starts a new page
    // (a paragraph that breaks before or after itself) is in this colour.
    static QColor pageBreakColour();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void typeAsItself(const QTextCharFormat &format);
    void adoptDocument(std::unique_ptr<QTextDocument> document);
    std::unique_ptr<QTextDocument> takeDocument();
    void showDocument(std::unique_ptr<QTextDocument> document);
    // Past the start or end of this document's own history lies the document it replaced or
    // the one that replaced it. False when there is none.
    bool goBack();
    bool goForward();
    void watchDocument();
    void noteChange(int position, int removed, int added);
    void makeRoomForHangingLines();
    void drawPageBreaks(const QRect &area);
    QPoint contentOffset() const;
    void mergeFormat(const QTextCharFormat &format);
    int layoutFrontier() const;
    bool laidOutTo(int position) const;
    void layOutTowardsPendingMove();
    void finishPendingMove();
    void selectAllWithoutLayout();
    void undoOrRedo(QKeyEvent *event);
    void holdLayout();
    void resumeLayout();
    void boundPageHeight();

    // Room for hanging paragraphs that changes found wanting, not yet given (see
    // makeRoomForHangingLines).
    qreal m_wantedRoom = 0;
    bool m_changingRoom = false;
    // While the layout is held, the document has no page size, which the layout takes as
    // "nothing to lay out"; these bring the view back as it was (see holdLayout).
    bool m_layoutHeld = false;
    // While an undo or redo key is handled, the layout stays held past the change's end.
    bool m_resumeDeferred = false;
    QSizeF m_heldPageSize;
    // Whether the document is laid out in pages of a finite height (see boundPageHeight).
    bool m_pagesBounded = true;
    QPoint m_heldScroll;
    // A move to the end (a key, or Select all) of a document not laid out that far, made once
    // the layout, going on in steps, gets there, or at once when anything else comes first.
    std::optional<QKeyCombination> m_pendingMove;
    QTimer *m_pendingMoveTimer = nullptr;
    ReplacedDocuments m_replaced;
};
