#pragma once

#include <QTextDocument>

#include <memory>
#include <vector>

// New, Open and Clear put a new document in the editing area, and a document's own undo
// history cannot reach across that. The documents they replaced are kept whole here, formats
// and histories included, so that undo can step back into the one before and redo forward
// again: one history across replacements, with no copying when a document is replaced.
class ReplacedDocuments
{
public:
    // How many replaced documents are kept; the oldest goes first. Each is kept whole, so a
    // large document costs its full size while it is kept.
    static constexpr std::size_t Depth = 10;

    // `old` was replaced by a new document: it becomes the one undo goes back to, and what
    // redo could have brought back is gone, as with any new edit.
    void replaced(std::unique_ptr<QTextDocument> old);

    bool canGoBack() const { return !m_earlier.empty(); }
    bool canGoForward() const { return !m_later.empty(); }
    // Hands back the document before `current`, which is kept for going forward again.
    std::unique_ptr<QTextDocument> goBack(std::unique_ptr<QTextDocument> current);
    std::unique_ptr<QTextDocument> goForward(std::unique_ptr<QTextDocument> current);

    // A new edit after going back: the documents ahead can no longer be reached.
    void forgetLater() { m_later.clear(); }

private:
    std::vector<std::unique_ptr<QTextDocument>> m_earlier;
    std::vector<std::unique_ptr<QTextDocument>> m_later;
};
