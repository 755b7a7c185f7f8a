#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

// Puts a body into the body box. A large body shows its beginning at once
// and the rest is appended in slices from the event loop, so that clicking
// a category with megabytes of text does not freeze the window. Whatever
// could change or copy the box's text (a key, input-method text, a drop, a
// paste, the context menu) first finishes the filling, and so does
// finish(), which every reader of the box calls: the box ends up holding
// the whole body, in order, before anything is done with it.
class BodyBoxFiller : public QObject
{
    Q_OBJECT
public:
    // Characters shown at once, and appended per slice afterwards (about
    // 10 ms each on a 2 GHz core).
    static constexpr qsizetype FirstSlice = qsizetype(64) * 1024;
    static constexpr qsizetype LaterSlice = qsizetype(256) * 1024;

    explicit BodyBoxFiller(QPlainTextEdit *box, QObject *parent = nullptr);

    // Replaces the box's text with `text` (line ends as LF), dropping what
    // was still to come of an earlier body. The box's textChanged is not
    // emitted for the later slices.
    void fill(const QString &text);
    // Appends everything still to come, now.
    void finish();
    bool isFilling() const { return m_next < m_text.size(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where a slice of about `size` characters from `from` should end: after
    // a line end where there is one near, never inside a surrogate pair.
    qsizetype sliceEnd(qsizetype from, qsizetype size) const;
    void appendUpTo(qsizetype end);
    void appendSlice();

    QPlainTextEdit *m_box;
    QString m_text;
    qsizetype m_next = 0;
    QTimer m_timer;
};
