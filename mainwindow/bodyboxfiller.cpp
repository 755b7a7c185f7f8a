#include "mainwindow/bodyboxfiller.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

BodyBoxFiller::BodyBoxFiller(QPlainTextEdit *box, QObject *parent) : QObject(parent), m_box(box)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &BodyBoxFiller::appendSlice);
    m_box->installEventFilter(this);
    m_box->viewport()->installEventFilter(this);
}

void BodyBoxFiller::fill(const QString &text)
{
    m_timer.stop();
    m_text.clear();
    m_next = 0;
    m_box->document()->setUndoRedoEnabled(true);
    if (text.size() <= FirstSlice) {
        m_box->setPlainText(text);
        return;
    }
    m_text = text;
    m_next = sliceEnd(0, FirstSlice);
    m_box->setPlainText(m_text.first(m_next));
    // The slices are not steps the user could undo.
    m_box->document()->setUndoRedoEnabled(false);
    m_timer.start();
}

void BodyBoxFiller::finish()
{
    if (isFilling())
        appendUpTo(m_text.size());
}

qsizetype BodyBoxFiller::sliceEnd(qsizetype from, qsizetype size) const
{
    const qsizetype end = from + size;
    if (end >= m_text.size())
        return m_text.size();
    // A line end within a quarter slice ahead keeps each slice whole lines.
    const qsizetype lineEnd = m_text.indexOf(u'\n', end);
    if (lineEnd >= 0 && lineEnd - end < size / 4)
        return lineEnd + 1;
    return m_text.at(end - 1).isHighSurrogate() ? end + 1 : end;
}

void BodyBoxFiller::appendUpTo(qsizetype end)
{
    {
        const QSignalBlocker quiet(m_box);
        QTextCursor cursor(m_box->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringView(m_text).sliced(m_next, end - m_next).toString());
    }
    m_next = end;
    if (isFilling())
        return;
    m_timer.stop();
    m_text.clear();
    m_next = 0;
    m_box->document()->setUndoRedoEnabled(true);
}

void BodyBoxFiller::appendSlice()
{
    if (isFilling())
        appendUpTo(sliceEnd(m_next, LaterSlice));
    else
        m_timer.stop();
}

bool BodyBoxFiller::eventFilter(QObject *watched, QEvent *event)
{
    if (isFilling()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::ContextMenu: finish(); break;
        case QEvent::MouseButtonPress:
            // Middle-click pastes the selection.
            if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
                finish();
            break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
