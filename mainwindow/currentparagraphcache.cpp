#include "mainwindow/currentparagraphcache.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

CurrentParagraphCache::CurrentParagraphCache(QPlainTextEdit *box) : QObject(box), m_box(box)
{
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &CurrentParagraphCache::followCursor);
    followCursor();
}

void CurrentParagraphCache::followCursor()
{
    const QTextBlock current = m_box->textCursor().block();
    if (current.blockNumber() != m_blockNumber) {
        // Looked up by number: a block handle kept across edits could name a
        // block that is gone.
        if (const QTextBlock previous = m_box->document()->findBlockByNumber(m_blockNumber);
            previous.isValid())
            previous.layout()->setCacheEnabled(false);
        m_blockNumber = current.blockNumber();
    }
    current.layout()->setCacheEnabled(current.length() <= MaxCachedLength);
}
