#include "editor/replaceddocuments.h"

void ReplacedDocuments::replaced(std::unique_ptr<QTextDocument> old)
{
    // Steps undone inside the old document are no longer ahead of anything.
    old->clearUndoRedoStacks(QTextDocument::RedoStack);
    m_earlier.push_back(std::move(old));
    if (m_earlier.size() > Depth)
        m_earlier.erase(m_earlier.begin());
    m_later.clear();
}

std::unique_ptr<QTextDocument> ReplacedDocuments::goBack(std::unique_ptr<QTextDocument> current)
{
    std::unique_ptr<QTextDocument> earlier = std::move(m_earlier.back());
    m_earlier.pop_back();
    m_later.push_back(std::move(current));
    return earlier;
}

std::unique_ptr<QTextDocument> ReplacedDocuments::goForward(std::unique_ptr<QTextDocument> current)
{
    std::unique_ptr<QTextDocument> later = std::move(m_later.back());
    m_later.pop_back();
    m_earlier.push_back(std::move(current));
    return later;
}
