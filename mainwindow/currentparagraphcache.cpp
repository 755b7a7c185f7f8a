#include "mainwindow/currentparagraphcache.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

CurrentParagraphCache::CurrentParagraphCache(QPlainTextEdit *box) : QObject(box), m_box(box)
{
    connect(box, &QPlainTextEdit::cursorPositionChanged, this,
            &CurrentParagraphCache::followCursor);
    followCursor();
}

void CurrentParagraphCache::keep(const QTextBlock &paragraph, bool kept)
{
    if (paragraph.isValid())
        paragraph.layout()->setCacheEnabled(kept && paragraph.length() <= MaxCachedLength);
}

void CurrentParagraphCache::followCursor()
{
    const QTextBlock current = m_box->textCursor().block();
    if (current.blockNumber() != m_blockNumber) {
        // Looked up by number: a block handle kept across edits could name a
        // block that is gone.
        for (int number = m_blockNumber - 1; number <= m_blockNumber + 1; ++number)
            keep(m_box->document()->findBlockByNumber(number), false);
        m_blockNumber = current.blockNumber();
    }
    keep(current.previous(), true);
    keep(current, true);
    keep(current.next(), true);
}
