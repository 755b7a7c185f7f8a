#pragma once

#include <QObject>

class QPlainTextEdit;

// Keeps the shaped glyphs of the paragraph that holds the text cursor. A
// plain text box lays a paragraph out again after every key, then shapes it
// once more to draw it and again to place the cursor; with the glyphs of
// that one paragraph kept, a key costs a single shaping. Other paragraphs
// are not kept, so memory does not grow with the body.
class CurrentParagraphCache : public QObject
{
    Q_OBJECT
public:
    // Longer paragraphs are not kept: their glyphs would take more memory
    // than shaping them again takes time.
    static constexpr int MaxCachedLength = 64 * 1024;

    explicit CurrentParagraphCache(QPlainTextEdit *box);

private:
    void followCursor();

    QPlainTextEdit *m_box;
    int m_blockNumber = -1;
};
