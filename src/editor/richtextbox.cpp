#include "editor/richtextbox.h"

#include "editor/backgroundwork.h"
#include "editor/documentfile.h"
#include "editor/fileerror.h"
#include "editor/hangingreach.h"
#include "editor/plaintext.h"
#include "editor/textform.h"
#include "rtf/rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace {

// A change that touches this many characters lays the document out again in the background,
// from the start, as a newly opened document is, instead of all at once: the toolkit lays
// out everything a change touched before it returns (half a second or more for the 2.5
// million characters of a 10 MB file).
// Below it, laying out the change is cheaper than laying out the view again.
constexpr int LayLaterFrom = 100'000;

// The toolkit takes a page height of -1 as one endless page, which it stores as the largest
// height its fixed-point numbers hold, 8,388,607 pixels. A document laid out past that (about
// 85 MB of text, half a million short paragraphs, or a few thousand with the largest spacing)
// never ends its layout step: it keeps starting a page that never comes. Pages of this
// height, taller than any screen, lay such a document out; where one ends, the next paragraph
// moves down less than a line. A paragraph with the toolkit's own page break would start a
// page there too, millions of pixels on: a document with such paragraphs (pasted from
// elsewhere; the RTF reader marks page breaks its own way) keeps the endless page.
constexpr qreal PageHeight = 1 << 22;

bool breaksPages(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().pageBreakPolicy() != QTextFormat::PageBreak_Auto)
            return true;
    }
    return false;
}

// The toolkit lays a paragraph out as one piece, counting its memory in int: one of 200
// million characters takes it past 3 GB and then crashes it. A 20 MB line is still shown.
constexpr int MaxParagraphLength = 1 << 25;

// From this length on a paragraph is shown without shaping where its script can do without
// (Latin, Greek, Cyrillic, ...): the toolkit shapes a paragraph whole each time it lays it
// out, which made up two thirds of the time to show a line of 20 MB. Kerning and ligatures
// are what such a paragraph loses.
constexpr int ShapeUpTo = 100'000;

// The length of the document's longest paragraph; only a document longer than `atLeast`
// can hold one that long, so only such a document is walked.
int longestParagraph(const QTextDocument &document, int atLeast)
{
    if (document.characterCount() <= atLeast)
        return 0;
    int longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length() - 1);
    return longest;
}

// Stand for Select all, and for bringing the caret into view after an undo or redo, among
// the moves waiting for the layout, which are otherwise keys.
constexpr QKeyCombination PendingSelectAll{Qt::NoModifier, Qt::Key_unknown};
constexpr QKeyCombination PendingShowCaret{Qt::ShiftModifier, Qt::Key_unknown};

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
    watchDocument();
    connect(this, &QTextEdit::currentCharFormatChanged, this, &RichTextBox::typeAsItself);
    m_pendingMoveTimer = new QTimer(this);
    connect(m_pendingMoveTimer, &QTimer::timeout, this, &RichTextBox::layOutTowardsPendingMove);
}

// Text typed next to a stand-in for a text file's bytes would take its format, and so
// be written as those bytes (a soft break or a typed U+FFFD, for example). With a
// selection the format would go onto the selection itself, stand-ins and all: left alone.
void RichTextBox::typeAsItself(const QTextCharFormat &format)
{
    if (!format.hasProperty(PlainText::StandsFor) || textCursor().hasSelection())
        return;
    QTextCharFormat own = format;
    own.clearProperty(PlainText::StandsFor);
    setCurrentCharFormat(own);
}

void RichTextBox::setSelectionText(const QString &text)
{
    finishPendingMove();
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void RichTextBox::mergeFormat(const QTextCharFormat &format)
{
    finishPendingMove();
    mergeCurrentCharFormat(format);
}

void RichTextBox::setSelectionColor(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    mergeFormat(format);
}

void RichTextBox::setSelectionFontName(const QString &name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    mergeFormat(format);
}

void RichTextBox::setSelectionFontSize(int points)
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

void RichTextBox::setSelectionAlignment(Qt::Alignment alignment)
{
    finishPendingMove();
    setAlignment(alignment);
}

void RichTextBox::setSelectionBullet(bool on)
{
    finishPendingMove();
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

void RichTextBox::selectWholeDocument()
{
    finishPendingMove();
    // The toolkit lays out as far as the end of the selection before selecting: a document
    // not laid out that far is selected once the layout gets there (see keyPressEvent).
    if (!laidOutTo(document()->characterCount() - 1)) {
        m_pendingMove = PendingSelectAll;
        m_pendingMoveTimer->start(0);
        return;
    }
    QTextEdit::selectAll();
}

void RichTextBox::replaceWithText(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font());
    document->setPlainText(text);
    adoptDocument(std::move(document));
}

void RichTextBox::setBackColor(const QColor &colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, colour);
    setPalette(palette);
}

QColor RichTextBox::backColor() const
{
    return palette().color(QPalette::Base);
}

namespace {

// A file this big is read on a thread of its own while the window goes on painting: past
// it, the work takes a noticeable part of a second or more.
constexpr qint64 WorkInBackgroundFrom = 1'000'000;
// A document this long is saved so. Saving is faster than reading, and on a thread it would
// share the processor with the layout Qt goes on with meanwhile: below this, about 20 MB of
// RTF, a save ends before the half second after which it would show progress.
constexpr qint64 SaveInBackgroundFrom = 5'000'000;

// The file read and parsed into a new document, on whichever thread; the document then
// belongs to `home`'s thread.
Status readDocument(const QString &fileName, DocumentKind kind, const QFont &font, QThread *home,
                    std::unique_ptr<QTextDocument> &read)
{
    Result<QByteArray> bytes = DocumentFile::read(fileName);
    if (!bytes.ok())
        return bytes.error();

    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font);
    if (kind == DocumentKind::Rtf) {
        if (auto failure = rtf::read(bytes.value(), *document)) {
            return Error{ErrorNumber::InvalidFileFormat,
                         QStringLiteral("%1: \"%2\"").arg(failure->description, fileName)};
        }
    } else {
        PlainText::load(*document, std::move(bytes.value()));
    }
    const int longest = longestParagraph(*document, ShapeUpTo);
    if (longest > MaxParagraphLength) {
        return FileError::withReason(ErrorNumber::OutOfMemory,
                                     QStringLiteral("A paragraph of %1 characters is too long to show; the editing "
                                                    "area shows paragraphs of at most %2")
                                         .arg(longest)
                                         .arg(MaxParagraphLength),
                                     fileName);
    }
    if (longest >= ShapeUpTo) {
        QFont unshaped = document->defaultFont();
        unshaped.setStyleStrategy(QFont::PreferNoShaping);
        document->setDefaultFont(unshaped);
    }
    document->moveToThread(home);
    read = std::move(document);
    return {};
}

} // namespace

Status RichTextBox::loadFile(const QString &fileName, DocumentKind kind)
{
    std::unique_ptr<QTextDocument> document;
    Status status;
    const auto read = [&, font = font(), home = thread()] { status = readDocument(fileName, kind, font, home, document); };
    if (QFileInfo(fileName).size() >= WorkInBackgroundFrom)
        runInBackground(this, tr("Opening %1").arg(QFileInfo(fileName).fileName()), read);
    else
        read();
    if (!status.ok())
        return status;
    adoptDocument(std::move(document));
    return {};
}

Status RichTextBox::saveFile(const QString &fileName, DocumentKind kind) const
{
    Status status;
    // The document stays as it is meanwhile: input waits (see runInBackground).
    const auto write = [&] {
        // A text file's long line, shown in pieces, stays one paragraph in RTF too.
        const auto goesOn = [](const QTextBlock &block) { return PlainText::continuesLine(block, block.next()); };
        const QByteArray bytes = kind == DocumentKind::Rtf ? rtf::write(*document(), goesOn) : PlainText::save(*document());
        status = DocumentFile::write(fileName, bytes);
    };
    if (document()->characterCount() >= SaveInBackgroundFrom)
        runInBackground(this, tr("Saving %1").arg(QFileInfo(fileName).fileName()), write);
    else
        write();
    return status;
}

void RichTextBox::adoptDocument(std::unique_ptr<QTextDocument> document)
{
    // Room in whole pixels, so that text does not stand between pixels. Made before the
    // document has a layout, so that it is laid out once. A new document has nothing to
    // undo: the room is no step of its history, nor a modification.
    if (const qreal reach = std::ceil(HangingReach().over(document->begin(), QTextBlock())); reach > 0) {
        const bool undo = document->isUndoRedoEnabled();
        const bool modified = document->isModified();
        document->setUndoRedoEnabled(false);
        setHangingRoom(*document, reach);
        document->setUndoRedoEnabled(undo);
        document->setModified(modified);
    }

    QTextDocument *previous = this->document();
    if (ownedBy(previous, this))
        m_replaced.replaced(takeDocument());
    else
        previous->disconnect(this);
    showDocument(std::move(document));
}

// The document stops being ours to show; the editing area still points at it until
// showDocument gives it another.
std::unique_ptr<QTextDocument> RichTextBox::takeDocument()
{
    QTextDocument *document = this->document();
    resumeLayout();
    document->disconnect(this);
    // No longer a child of the editing area, so that it outlives being replaced there.
    document->setParent(nullptr);
    return std::unique_ptr<QTextDocument>(document);
}

// The toolkit lays a document out again whenever it gets a layout, a page size, or a view
// of another width, even the same one; and it lays a paragraph out whole each time (a
// 20 MB line took seconds). So the document meets its layout without a page size, and a
// long one finds the vertical scroll bar it will need already there: it is laid out once,
// at the width it is shown at.
void RichTextBox::showDocument(std::unique_ptr<QTextDocument> document)
{
    document->setParent(this);
    document->setPageSize(QSizeF(0, 0));
    QScrollBar *bar = verticalScrollBar();
    const bool barForLength = document->characterCount() >= LayLaterFrom && bar->maximum() <= bar->minimum()
                              && verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded;
    if (barForLength)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pagesBounded = !breaksPages(*document);
    setDocument(document.release());
    boundPageHeight();
    if (barForLength)
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCurrentCharFormat(QTextCharFormat());
    m_wantedRoom = 0;
    m_pendingMove.reset();
    m_pendingMoveTimer->stop();
    watchDocument();
}

bool RichTextBox::goBack()
{
    if (document()->isUndoAvailable() || !m_replaced.canGoBack())
        return false;
    showDocument(m_replaced.goBack(takeDocument()));
    return true;
}

bool RichTextBox::goForward()
{
    if (document()->isRedoAvailable() || !m_replaced.canGoForward())
        return false;
    showDocument(m_replaced.goForward(takeDocument()));
    return true;
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    finishPendingMove();
    // Going to the end of a document not laid out that far would lay it all out first (half a
    // second or more for a 10 MB file), the caret's place being unknown until then; so would
    // selecting all. The key waits for the layout instead, which goes on in steps between
    // events.
    if ((event->matches(QKeySequence::MoveToEndOfDocument) || event->matches(QKeySequence::SelectEndOfDocument)
         || event->matches(QKeySequence::SelectAll))
        && !laidOutTo(document()->characterCount() - 1)) {
        m_pendingMove = event->keyCombination();
        m_pendingMoveTimer->start(0);
        return;
    }
    if (event->matches(QKeySequence::Undo) && goBack())
        return;
    if (event->matches(QKeySequence::Redo) && goForward())
        return;
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoOrRedo(event);
        return;
    }
    QTextEdit::keyPressEvent(event);
}

// The toolkit repaints the selection and caret as they were before an undo or redo, and
// brings the caret into view after it, laying out everything before them; after selecting
// all and undoing a large change that is the end of the document (over a second for a
// 10 MB file). The layout stays held until the key is done, so that this costs nothing, and
// the caret comes into view once the layout, going on in steps, gets there.
void RichTextBox::undoOrRedo(QKeyEvent *event)
{
    const QTextCursor before = textCursor();
    if (!laidOutTo(std::max(before.position(), before.anchor())))
        holdLayout();
    m_resumeDeferred = true;
    QTextEdit::keyPressEvent(event);
    m_resumeDeferred = false;
    if (!m_layoutHeld)
        return;
    resumeLayout();
    if (!laidOutTo(textCursor().position())) {
        m_pendingMove = PendingShowCaret;
        m_pendingMoveTimer->start(0);
    } else {
        ensureCursorVisible();
    }
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    finishPendingMove();
    QTextEdit::mousePressEvent(event);
}

void RichTextBox::wheelEvent(QWheelEvent *event)
{
    finishPendingMove();
    QTextEdit::wheelEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    finishPendingMove();
    QTextEdit::inputMethodEvent(event);
}

// Where the layout has got to: the start of the first paragraph not laid out yet, or past
// the end when all are. The layout goes from the start on, so the paragraphs laid out come
// first, and a binary search finds where they stop.
int RichTextBox::layoutFrontier() const
{
    const QTextDocument *document = this->document();
    if (document->pageSize().isNull() || document->lastBlock().layout()->lineCount() > 0)
        return document->characterCount();
    int first = 0;
    int last = document->blockCount() - 1;
    while (first < last) {
        const int middle = first + (last - first) / 2;
        if (document->findBlockByNumber(middle).layout()->lineCount() > 0)
            first = middle + 1;
        else
            last = middle;
    }
    return document->findBlockByNumber(first).position();
}

// Whether the layout has reached `position`, or is near enough that reaching it costs little.
bool RichTextBox::laidOutTo(int position) const
{
    return position - layoutFrontier() < LayLaterFrom;
}

// One step of layout towards the end, short enough to keep the editing area responsive.
void RichTextBox::layOutTowardsPendingMove()
{
    const QTextDocument *document = this->document();
    const int end = m_pendingMove == PendingShowCaret ? textCursor().position() : document->characterCount() - 1;
    if (laidOutTo(end)) {
        finishPendingMove();
        return;
    }
    const int frontier = layoutFrontier();
    document->documentLayout()->blockBoundingRect(document->findBlock(std::min(frontier + LayLaterFrom, end)));
    // Should the layout not get on, the move is made now rather than never.
    if (layoutFrontier() == frontier)
        finishPendingMove();
}

void RichTextBox::finishPendingMove()
{
    if (!m_pendingMove)
        return;
    const QKeyCombination move = *m_pendingMove;
    m_pendingMove.reset();
    m_pendingMoveTimer->stop();
    if (move == PendingSelectAll) {
        selectAllWithoutLayout();
        return;
    }
    if (move == PendingShowCaret) {
        ensureCursorVisible();
        return;
    }
    QKeyEvent event(QEvent::KeyPress, move.key(), move.keyboardModifiers());
    QTextEdit::keyPressEvent(&event);
}

// The toolkit works out where the caret at the end of the selection stands on its line, and
// to know that lays out everything before it (a second or more for a 10 MB file). With the
// layout held there is nothing to lay out; the caret's place is worked out when it is next
// needed, and the layout starts again from the start, in steps, as after any large change.
void RichTextBox::selectAllWithoutLayout()
{
    const bool held = m_layoutHeld;
    holdLayout();
    QTextEdit::selectAll();
    if (!held)
        resumeLayout();
}

QMenu *RichTextBox::createContextMenu(const QPoint &position)
{
    finishPendingMove();
    QMenu *menu = createStandardContextMenu(position);
    // The toolkit's items act on this document's own history only.
    const auto reach = [this, menu](const char *name, bool possible, bool (RichTextBox::*step)()) {
        QAction *action = menu->findChild<QAction *>(QLatin1String(name));
        if (!action || action->isEnabled() || !possible)
            return;
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, step] { (this->*step)(); });
    };
    reach("edit-undo", m_replaced.canGoBack(), &RichTextBox::goBack);
    reach("edit-redo", m_replaced.canGoForward(), &RichTextBox::goForward);
    return menu;
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createContextMenu(event->pos()));
    menu->exec(event->globalPos());
}

void RichTextBox::watchDocument()
{
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBox::noteChange);
    connect(document(), &QTextDocument::contentsChanged, this, &RichTextBox::makeRoomForHangingLines);
    connect(document(), &QTextDocument::contentsChanged, this, &RichTextBox::resumeLayout);
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] { m_replaced.forgetLater(); });
}

// Takes the document's page size away, which the layout takes as "nothing to lay out", so
// that what follows neither lays out nor keeps old layout; resumeLayout gives it back.
// (An empty size, not an invalid one: the layout takes a negative width as "lay out without
// wrapping" and starts over.)
void RichTextBox::holdLayout()
{
    QTextDocument *document = this->document();
    if (m_layoutHeld || document->pageSize().isNull())
        return;
    m_layoutHeld = true;
    m_heldPageSize = document->pageSize();
    m_heldScroll = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
    document->setPageSize(QSizeF(0, 0));
    // Should a change end without the signal that resumes, the next turn of the event loop does.
    QMetaObject::invokeMethod(this, &RichTextBox::resumeLayout, Qt::QueuedConnection);
}

// Gives the page size back: the layout starts again from the start, in steps, as for a newly
// opened document, laying out at once only as far as the view reaches, which stays where it
// was.
void RichTextBox::resumeLayout()
{
    if (!m_layoutHeld || m_resumeDeferred)
        return;
    m_layoutHeld = false;
    QTextDocument *document = this->document();
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    document->setPageSize(m_heldPageSize);
    boundPageHeight();
    const int viewBottom = m_heldScroll.y() + viewport()->height();
    const int reached = layout->hitTest(QPointF(0, viewBottom), Qt::FuzzyHit);
    // The scroll bar learns the new height only when the layout next reports it.
    const qreal contentBottom = layout->blockBoundingRect(document->findBlock(reached)).bottom();
    QScrollBar *bar = verticalScrollBar();
    bar->setMaximum(std::max(bar->maximum(), std::min(m_heldScroll.y(), int(contentBottom) - viewport()->height())));
    bar->setValue(m_heldScroll.y());
    horizontalScrollBar()->setValue(m_heldScroll.x());
}

// Looks only at the paragraphs the change touched, so typing stays as cheap as it was.
void RichTextBox::noteChange(int position, int removed, int added)
{
    // Told before the layout is: a large change is laid out later, as a new document is (the
    // toolkit already does so when everything is new).
    const int length = document()->characterCount();
    if (std::max(removed, added) >= LayLaterFrom && !(removed == 0 && added == length))
        holdLayout();
    if (m_changingRoom)
        return;
    const QTextDocument *document = this->document();
    const int end = std::min(position + added, document->characterCount() - 1);
    const QTextBlock last = document->findBlock(end);
    HangingReach reach;
    qreal wanted = 0;
    bool pageBreak = false;
    bool toolkitBreak = false;
    for (QTextBlock block = document->findBlock(position); block.isValid(); block = block.next()) {
        wanted = std::max(wanted, std::ceil(reach.of(block)));
        const QTextBlockFormat format = block.blockFormat();
        toolkitBreak = toolkitBreak || format.pageBreakPolicy() != QTextFormat::PageBreak_Auto;
        pageBreak = pageBreak || toolkitBreak || rtf::startsPage(format);
        if (block == last)
            break;
    }
    // Replacing everything (setPlainText) also resets the root frame: older wants are void.
    const bool everything = position == 0 && added >= document->characterCount() - 1;
    m_wantedRoom = everything ? wanted : std::max(m_wantedRoom, wanted);
    // A page started by a paragraph would open millions of pixels on in a bounded page.
    if (toolkitBreak && m_pagesBounded) {
        m_pagesBounded = false;
        if (const QSizeF size = document->pageSize(); size.height() > 0)
            this->document()->setPageSize(QSizeF(size.width(), -1));
    }
    // After a format change the layout repaints the paragraph, not the space above it where
    // its line goes. (Typing changes lengths; it never moves the line without the layout
    // repainting everything below.)
    if (pageBreak && removed == added)
        viewport()->update();
}

// Room only grows while editing: finding the new widest reach after a paragraph goes away
// would mean looking at all of them. The room joins the edit that called for it, so that
// undoing that edit takes the room away with it and redoing brings it back.
void RichTextBox::makeRoomForHangingLines()
{
    QTextDocument *document = this->document();
    if (m_changingRoom || m_wantedRoom <= hangingRoom(*document))
        return;
    // After an undo, a new step would throw the redo steps away; the room waits for the
    // next edit instead.
    if (document->isRedoAvailable())
        return;
    m_changingRoom = true;
    const auto done = qScopeGuard([this] { m_changingRoom = false; });
    QTextCursor cursor(document);
    cursor.joinPreviousEditBlock();
    setHangingRoom(*document, m_wantedRoom);
    cursor.endEditBlock();
    m_wantedRoom = 0;
}

QColor RichTextBox::pageBreakColour()
{
    return QColor(150, 150, 150);
}

// The toolkit gives the document an endless page whenever the view's width changes.
void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    boundPageHeight();
}

// Setting the page size lays the document's start out again, which costs little unless its
// first paragraph is long: a document that starts with a long line keeps the endless page.
void RichTextBox::boundPageHeight()
{
    QTextDocument *document = this->document();
    const QSizeF size = document->pageSize();
    if (!m_pagesBounded || size.isNull() || size.height() >= 0 || document->firstBlock().length() >= LayLaterFrom)
        return;
    document->setPageSize(QSizeF(size.width(), PageHeight));
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    drawPageBreaks(event->rect());
}

QPoint RichTextBox::contentOffset() const
{
    const QScrollBar *bar = horizontalScrollBar();
    const int x = isRightToLeft() ? bar->maximum() - bar->value() : bar->value();
    return {x, verticalScrollBar()->value()};
}

// Visits only the paragraphs in the repainted area, found through the layout, never the
// whole document.
void RichTextBox::drawPageBreaks(const QRect &area)
{
    QTextDocument *document = this->document();
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    const QPoint offset = contentOffset();
    const QTextFrame *root = document->rootFrame();

    QPainter painter(viewport());
    painter.setPen(QPen(pageBreakColour(), 0, Qt::DashLine));
    const auto drawAt = [&](qreal y) {
        const int row = int(std::floor(y)) - offset.y();
        // Across the whole width, so that the dashes of partial repaints line up.
        if (row >= area.top() && row <= area.bottom())
            painter.drawLine(0, row, viewport()->width(), row);
    };

    // A line above a paragraph lies in the space before it: start one paragraph early and
    // stop one paragraph late.
    // Through the layout: a cursor would also work out its place on the line, which in a
    // paragraph of millions of characters means going over all of them.
    QTextBlock block = document->findBlock(layout->hitTest(QPointF(0, area.top() + offset.y()), Qt::FuzzyHit));
    if (block.previous().isValid())
        block = block.previous();
    bool pastArea = false;
    for (; block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.top() - offset.y() > area.bottom()) {
            if (pastArea)
                break;
            pastArea = true;
        }
        const QTextBlockFormat format = block.blockFormat();
        const bool before = rtf::startsPage(format);
        const QTextFormat::PageBreakFlags policy = format.pageBreakPolicy();
        if (!(before || (policy & QTextFormat::PageBreak_AlwaysAfter)) || box.height() <= 0
            || document->frameAt(block.position()) != root) {
            continue;
        }
        // Halfway through the space between the paragraphs (the larger of the two margins,
        // as the layout keeps), or just outside the paragraph when there is none.
        if (before) {
            qreal gap = format.topMargin();
            if (const QTextBlock previous = block.previous(); previous.isValid())
                gap = std::max(gap, previous.blockFormat().bottomMargin());
            drawAt(box.top() - std::max<qreal>(gap / 2, 1));
        }
        if (policy & QTextFormat::PageBreak_AlwaysAfter) {
            qreal gap = format.bottomMargin();
            if (const QTextBlock next = block.next(); next.isValid())
                gap = std::max(gap, next.blockFormat().topMargin());
            drawAt(box.bottom() + gap / 2);
        }
    }
}
