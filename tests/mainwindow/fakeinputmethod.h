#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Stands in for a platform input method such as ibus, which does not run
// offscreen. It shows a composition in a box and holds it until the box
// takes it as committed text. When the focus is about to leave the box it
// commits the composition there itself, as the toolkit asks it to; like
// ibus, it then has the same text once more for whatever has the focus next.
class FakeInputMethod : public QObject
{
public:
    // Gives `box` the focus and shows `text` there as a composition.
    bool compose(QWidget *box, const QString &text);
    // Delivers the repeated text, if there is one, to the focused widget.
    void deliverRepeat();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_box;
    QString m_composing;
    QString m_repeat;
};
