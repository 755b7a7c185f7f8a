#include "fakeinputmethod.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QWidget>

bool FakeInputMethod::compose(QWidget *box, const QString &text)
{
    box->setFocus();
    if (QApplication::focusWidget() != box)
        return false;
    if (m_box)
        m_box->removeEventFilter(this);
    m_box = box;
    box->installEventFilter(this);
    m_composing = text;
    QInputMethodEvent composing(text, {});
    QApplication::sendEvent(box, &composing);
    return true;
}

void FakeInputMethod::deliverRepeat()
{
    if (m_repeat.isEmpty())
        return;
    QInputMethodEvent repeat;
    repeat.setCommitString(m_repeat);
    m_repeat.clear();
    QApplication::sendEvent(QApplication::focusObject(), &repeat);
}

bool FakeInputMethod::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::InputMethod) {
        // The window committed the composition itself.
        if (!static_cast<QInputMethodEvent *>(event)->commitString().isEmpty())
            m_composing.clear();
    } else if (event->type() == QEvent::FocusAboutToChange && !m_composing.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(m_composing);
        m_repeat = m_composing;
        m_composing.clear();
        QApplication::sendEvent(watched, &commit);
    }
    return QObject::eventFilter(watched, event);
}
