#include "mainwindow/compositionkeeper.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QTimer>
#include <QWidget>

CompositionKeeper::CompositionKeeper(QWidget *title, QWidget *body, QObject *parent)
    : QObject(parent), m_boxes{Box{title, {}}, Box{body, {}}}
{
    // The repeated text can reach any widget, the tree or a dialog's field
    // as well as the boxes.
    QCoreApplication::instance()->installEventFilter(this);
}

CompositionKeeper::Box *CompositionKeeper::boxOf(const QObject *object)
{
    for (Box &box : m_boxes) {
        if (box.widget == object)
            return &box;
    }
    return nullptr;
}

void CompositionKeeper::commit()
{
    for (Box &box : m_boxes) {
        if (box.composing.isEmpty())
            continue;
        const QString text = box.composing;
        // The platform's input method commits into the focused widget.
        if (box.widget->hasFocus()) {
            QGuiApplication::inputMethod()->commit();
            if (box.composing.isEmpty()) {
                m_repeat = text;
                continue;
            }
        }
        // No input method delivered it (there is none, or focus has left the
        // box): the box takes the composed text as committed.
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(box.widget, &event);
    }
}

bool CompositionKeeper::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::InputMethod: {
        const auto *input = static_cast<QInputMethodEvent *>(event);
        const QString &preedit = input->preeditString();
        const QString &commit = input->commitString();
        if (!m_repeat.isEmpty() && preedit.isEmpty() && commit == m_repeat) {
            m_repeat.clear();
            return true;
        }
        if (preedit.isEmpty() && commit.isEmpty())
            break;
        m_repeat.clear();
        Box *box = boxOf(watched);
        if (!box)
            break;
        if (preedit.isEmpty() && commit == box->composing) {
            m_justCommitted = commit;
            QTimer::singleShot(0, this, [this] { m_justCommitted.clear(); });
        }
        box->composing = preedit;
        emit composed();
        break;
    }
    case QEvent::FocusOut:
        // The toolkit commits a composition just before the focus leaves.
        if (boxOf(watched) && !m_justCommitted.isEmpty())
            m_repeat = m_justCommitted;
        break;
    case QEvent::KeyPress: m_repeat.clear(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
