#pragma once

#include "scriptedquestions.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>

class Category;
class Form1;
class QAction;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QToolBar;
class QTreeView;
class QWidget;
struct Document;

// Owns a real main window answered by ScriptedQuestions and drives it the way
// a user does: mouse and key events on the widgets found by their names.
// Steps that cannot be done (a row not on screen, a popup that did not open)
// return false or null, so the test can say where it went wrong.
class FormDriver
{
public:
    FormDriver();
    ~FormDriver();

    // Form_Load with `arguments`, then shows the window and waits until it is
    // exposed and active.
    bool start(const QStringList &arguments = {}, const QString &startFolder = QString());

    Form1 &form() { return *m_form; }
    Document &document();
    ScriptedQuestions &questions() { return m_questions; }

    QTreeView *tree() const;
    QLineEdit *titleBox() const;
    QPlainTextEdit *bodyBox() const;
    QToolBar *toolbar() const;
    // A menu, popup or toolbar action by its name.
    QAction *action(const QString &name) const;

    Category *category(const QString &key);
    QModelIndex indexOf(const Category *category) const;
    // Centre of the category's row in the viewport; null when it is not shown.
    QPoint rowCentre(const Category *category) const;
    // A point of the viewport below the last row.
    QPoint emptySpace() const;

    bool click(const Category *category);
    bool doubleClick(const Category *category);
    // A left double click at a point of the viewport.
    void doubleClickAt(const QPoint &point);
    // The expand or collapse sign in front of the row; null when not shown.
    QPoint branchSign(const Category *category) const;
    // Left click on the expand or collapse sign in front of the row.
    bool clickBranch(const Category *category);
    void pressOnEmptySpace();
    // Right click at `point`; while the popup is open, chooses the item named
    // `choice` with the mouse, or closes the popup when it is empty. Returns
    // the popup that opened, null when none did.
    QMenu *rightClickAt(const QPoint &point, const QString &choice);

    // Text committed by an input method into the focused box.
    bool commitInputMethodText(QWidget *box, const QString &text);
    bool clickToolbar(const QString &key);

    // Everything a command may change: outline, flags, selection, boxes and
    // caption, one line each, so an unchanged state compares equal.
    QString state();

private:
    ScriptedQuestions m_questions;
    std::unique_ptr<Form1> m_form;
};
