#pragma once

#include <QObject>

class QPlainTextEdit;
class QTextBlock;

// Keeps the shaped glyphs of the paragraph that holds the text cursor and of
// its two neighbours. A plain text box lays a paragraph out again after
// every key, then shapes it once more to draw it and again to place the
// cursor, and the paragraphs just above and below, which touch the rectangle
// it repaints, are shaped to be drawn as well. With their glyphs kept, a key
// costs a single shaping. Other paragraphs are not kept, so memory does not
// grow with the body.
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
    static void keep(const QTextBlock &paragraph, bool kept);

    QPlainTextEdit *m_box;
    int m_blockNumber = -1;
};
