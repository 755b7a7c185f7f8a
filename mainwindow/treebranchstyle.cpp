#include "mainwindow/treebranchstyle.h"

#include <QAbstractScrollArea>
#include <QStyleOption>

TreeBranchStyle::TreeBranchStyle(const QAbstractScrollArea *view, QStyle *base)
    : QProxyStyle(base), m_view(view)
{
}

void TreeBranchStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    // Branch rectangles are in the viewport's coordinates.
    if (element == PE_IndicatorBranch && option && widget == m_view
        && !m_view->viewport()->rect().intersects(option->rect))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
