#include "formdriver.h"

#include "document/document.h"
#include "mainwindow/form1.h"
#include "mainwindow/outlinemodel.h"
#include "tests/support/outlinescript.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

FormDriver::FormDriver() : m_form(std::make_unique<Form1>(m_questions))
{ }

FormDriver::~FormDriver()
{
    // The About box has no parent; it must not outlive the test that opened it.
    if (About *about = m_form->about())
        delete about;
}

bool FormDriver::start(const QStringList &arguments, const QString &startFolder)
{
    m_form->Form_Load(arguments, startFolder);
    m_form->show();
    if (!QTest::qWaitForWindowExposed(m_form.get()))
        return false;
    m_form->activateWindow();
    return QTest::qWaitForWindowActive(m_form.get());
}

Document &FormDriver::document()
{
    return m_form->document();
}

QTreeView *FormDriver::tree() const
{
    return m_form->findChild<QTreeView *>(QStringLiteral("Tt"));
}

QLineEdit *FormDriver::titleBox() const
{
    return m_form->findChild<QLineEdit *>(QStringLiteral("txtTitle"));
}

QPlainTextEdit *FormDriver::bodyBox() const
{
    return m_form->findChild<QPlainTextEdit *>(QStringLiteral("txtEdit"));
}

QToolBar *FormDriver::toolbar() const
{
    return m_form->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
}

QAction *FormDriver::action(const QString &name) const
{
    return m_form->findChild<QAction *>(name);
}

Category *FormDriver::category(const QString &key)
{
    return document().outline.item(key);
}

QModelIndex FormDriver::indexOf(const Category *category) const
{
    const auto *model = qobject_cast<const OutlineModel *>(tree()->model());
    return model ? model->indexOf(category) : QModelIndex();
}

QPoint FormDriver::rowCentre(const Category *category) const
{
    const QModelIndex index = indexOf(category);
    if (!index.isValid())
        return {};
    tree()->scrollTo(index);
    const QRect rect = tree()->visualRect(index);
    return rect.isValid() ? rect.center() : QPoint();
}

QPoint FormDriver::emptySpace() const
{
    const QWidget *viewport = tree()->viewport();
    return {viewport->width() / 2, viewport->height() - 3};
}

bool FormDriver::click(const Category *category)
{
    const QPoint point = rowCentre(category);
    if (point.isNull())
        return false;
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, point);
    return true;
}

bool FormDriver::doubleClick(const Category *category)
{
    const QPoint point = rowCentre(category);
    if (point.isNull())
        return false;
    doubleClickAt(point);
    return true;
}

void FormDriver::doubleClickAt(const QPoint &point)
{
    // A double click is a click followed by a second press that the system
    // reports as a double click.
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, point);
}

QPoint FormDriver::branchSign(const Category *category) const
{
    const QModelIndex index = indexOf(category);
    if (!index.isValid())
        return {};
    tree()->scrollTo(index);
    const QRect rect = tree()->visualRect(index);
    if (!rect.isValid())
        return {};
    return {rect.left() - tree()->indentation() / 2, rect.center().y()};
}

bool FormDriver::clickBranch(const Category *category)
{
    const QPoint sign = branchSign(category);
    if (sign.isNull())
        return false;
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, sign);
    return true;
}

void FormDriver::pressOnEmptySpace()
{
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, emptySpace());
}

QMenu *FormDriver::rightClickAt(const QPoint &point, const QString &choice)
{
    // The popup runs its own event loop inside the mouse handler; a zero
    // timer is the first thing that loop does. The timer is local, so it can
    // never fire later if no popup opened.
    QPointer<QMenu> opened;
    QTimer chooser;
    chooser.setSingleShot(true);
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        opened = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!opened)
            return;
        QAction *item = choice.isEmpty() ? nullptr : opened->findChild<QAction *>(choice);
        if (item)
            QTest::mouseClick(opened, Qt::LeftButton, {}, opened->actionGeometry(item).center());
        // Never leave the test stuck in the popup's loop.
        if (opened->isVisible())
            opened->close();
    });
    chooser.start(0);
    QTest::mouseClick(tree()->viewport(), Qt::RightButton, {}, point);
    return opened;
}

bool FormDriver::commitInputMethodText(QWidget *box, const QString &text)
{
    box->setFocus();
    QWidget *focused = QApplication::focusWidget();
    if (focused != box)
        return false;
    QInputMethodEvent composing(text, {});
    QApplication::sendEvent(focused, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(focused, &commit);
    return true;
}

bool FormDriver::clickToolbar(const QString &key)
{
    QAction *button = action(key);
    QWidget *widget = button ? toolbar()->widgetForAction(button) : nullptr;
    if (!widget)
        return false;
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

QString FormDriver::state()
{
    const Document &doc = document();
    const Outline &outline = doc.outline;
    QStringList lines = outlinescript::describe(outline);
    const Category *selected = outline.selected();
    lines << QStringLiteral("selected=%1 EditIndex=%2 EditPending=%3 DataChanged=%4 KeyCounter=%5")
                     .arg(selected ? selected->key() : QStringLiteral("-"))
                     .arg(doc.EditIndex)
                     .arg(doc.EditPending)
                     .arg(doc.DataChanged)
                     .arg(outline.KeyCounter);
    lines << QStringLiteral("CurrentFile=") + doc.CurrentFile;
    lines << QStringLiteral("title box=\"%1\" body box=\"%2\"")
                     .arg(titleBox()->text(), bodyBox()->toPlainText());
    lines << QStringLiteral("caption=") + m_form->windowTitle();
    lines << QStringLiteral("current row=") + tree()->currentIndex().data().toString();
    return lines.join(u'\n');
}
