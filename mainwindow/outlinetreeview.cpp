#include "mainwindow/outlinetreeview.h"

#include <QCursor>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

void OutlineTreeView::drawBranches(QPainter *painter, const QRect &rect,
                                   const QModelIndex &index) const
{
    // Levels run from the row's own, beside its text, outwards to the top
    // level at the row's start: right to left, or left to right when the
    // layout is mirrored.
    const bool reverse = isRightToLeft();
    const int visibleWidth = viewport()->width();
    const auto beforeSight = [&](const QRect &r) {
        return reverse ? r.right() < 0 : r.left() >= visibleWidth;
    };
    const auto pastSight = [&](const QRect &r) {
        return reverse ? r.left() >= visibleWidth : r.right() < 0;
    };
    // Alternating row colours need the row's position among the shown rows,
    // which only QTreeView knows; the outline does not use them.
    if ((rect.left() >= 0 && rect.right() < visibleWidth) || alternatingRowColors()) {
        QTreeView::drawBranches(painter, rect, index);
        return;
    }

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int indent = indentation();
    QRect primitive(reverse ? rect.left() : rect.right() + 1 - indent, rect.top(), indent,
                    rect.height());
    QStyle::State common = QStyle::State_None;
    if (isEnabled())
        common |= QStyle::State_Enabled;
    if (window()->isActiveWindow())
        common |= QStyle::State_Active;
    if (selectionModel() && selectionModel()->isSelected(index))
        common |= QStyle::State_Selected;
    if (pointerOverBranches(rect, primitive,
                            selectionBehavior() == SelectRows && option.showDecorationSelected))
        common |= QStyle::State_MouseOver;
    const auto moreSiblings = [this](const QModelIndex &item) {
        return model()->rowCount(item.parent()) - 1 > item.row() ? QStyle::State_Sibling
                                                                 : QStyle::State_None;
    };

    const QPoint oldBrushOrigin = painter->brushOrigin();
    if (verticalScrollMode() == ScrollPerPixel)
        painter->setBrushOrigin(QPoint(0, verticalOffset()));

    // The row's own indicator; a top-level row has one only when the root is
    // decorated.
    QModelIndex level = index.parent();
    if ((rootIsDecorated() || level.isValid()) && !beforeSight(primitive)) {
        option.rect = primitive;
        option.state = QStyle::State_Item | common | moreSiblings(index)
                | (model()->hasChildren(index) ? QStyle::State_Children : QStyle::State_None)
                | (isExpanded(index) ? QStyle::State_Open : QStyle::State_None);
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, painter, this);
    }
    // Then one per ancestor, outwards, until the view's far edge. An
    // ancestor's line goes on below when it has a later sibling; rows are
    // never hidden here, so the model's row counts are what is shown.
    for (; level.isValid(); level = level.parent()) {
        primitive.translate(reverse ? indent : -indent, 0);
        if (pastSight(primitive) || (!rootIsDecorated() && !level.parent().isValid()))
            break;
        if (beforeSight(primitive))
            continue;
        option.rect = primitive;
        option.state = common | moreSiblings(level);
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, painter, this);
    }
    painter->setBrushOrigin(oldBrushOrigin);
}

void OutlineTreeView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTreeView::scrollTo(index, hint);
    // A mirrored layout keeps QTreeView's own scrolling.
    const QRect item = visualRect(index);
    if (!item.isValid() || isRightToLeft())
        return;
    const int width = viewport()->width();
    const int needed = sizeHintForIndex(index).width();
    int shift = 0;
    if (needed <= width) {
        if (item.left() < 0)
            shift = item.left();
        else if (item.left() + needed > width)
            shift = item.left() + needed - width;
    } else if (item.left() < 0 || item.left() >= width) {
        // A title wider than the view shows its beginning, picture and all;
        // one already showing it stays where it is.
        shift = item.left();
    }
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
}

QItemSelectionModel::SelectionFlags OutlineTreeView::selectionCommand(const QModelIndex &index,
                                                                      const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    if (!index.isValid()
        || command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

bool OutlineTreeView::pointerOverBranches(const QRect &rowBranches, const QRect &ownIndicator,
                                          bool wholeRowHighlights) const
{
    if (!viewport()->underMouse())
        return false;
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    const bool onRow = pointer.y() >= rowBranches.top() && pointer.y() <= rowBranches.bottom();
    return onRow && (wholeRowHighlights || ownIndicator.contains(pointer));
}
