#pragma once

#include <QTreeView>

// The tree of categories. For every row it paints, QTreeView walks all the
// row's levels and asks the style to draw a branch indicator for each, also
// for levels scrolled out of sight: a row 2,000 levels deep costs 2,000 model
// lookups and style calls each time it is drawn. This view draws those rows'
// indicators itself, from the innermost level outwards, and stops at the
// view's edge. Rows whose levels are all in sight are left to QTreeView, and
// what is seen is the same either way.
//
// As in the desktop's classic tree controls, one row is always selected:
// the commands act on it, so the highlight never leaves it.
class OutlineTreeView : public QTreeView
{
    Q_OBJECT
public:
    using QTreeView::QTreeView;

    // Brings the row's picture and title into sight, sideways too: QTreeView
    // scrolls sideways by whole columns only, and the one column is wider
    // than the view once rows are deep.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void drawBranches(QPainter *painter, const QRect &rect,
                      const QModelIndex &index) const override;
    // A press on empty space or a Ctrl+click (or Ctrl+Space) on the selected
    // row would leave no row selected; the selection only ever moves.
    QItemSelectionModel::SelectionFlags
    selectionCommand(const QModelIndex &index, const QEvent *event = nullptr) const override;

private:
    // The hover highlight QTreeView gives the indicators of the row or the
    // indicator under the pointer.
    bool pointerOverBranches(const QRect &rowBranches, const QRect &ownIndicator,
                             bool wholeRowHighlights) const;
};
