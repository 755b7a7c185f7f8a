#pragma once

#include <QObject>
#include <QString>

#include <array>

class QWidget;

// Text an input method is still composing in the title or body box: shown
// underlined, not yet in the box's text, and, in a line edit, not even a
// change of it. Commands that do not move the focus (toolbar buttons, the
// window's close box) would read or replace the boxes without it, and the
// input method would later commit it into whatever the boxes show by then.
//
// An input method committed by the toolkit (on a change of focus, or by
// commit()) may deliver the same text a second time: ibus commits the
// composition again when the toolkit resets it, to whatever has the focus
// by then. That second delivery is dropped, wherever it goes.
class CompositionKeeper : public QObject
{
    Q_OBJECT
public:
    CompositionKeeper(QWidget *title, QWidget *body, QObject *parent = nullptr);

    // Commits a composition in either box into that box, once: through the
    // platform's input method when it holds it, else as if it had been
    // committed.
    void commit();

signals:
    // Either box received input-method text, composed or committed.
    void composed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Box
    {
        QWidget *widget;
        // The composition the box shows, as the last input-method event
        // left it.
        QString composing;
    };

    Box *boxOf(const QObject *object);

    std::array<Box, 2> m_boxes;
    // A composition that was committed whole in the current pass of the event
    // loop; a focus change in the same pass is what committed it.
    QString m_justCommitted;
    // Text committed for the input method, which may still deliver it again.
    QString m_repeat;
};
