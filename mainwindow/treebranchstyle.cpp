#include "mainwindow/treebranchstyle.h"

#include <QAbstractScrollArea>
#include <QStyleOption>

void TreeBranchStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    // Branch rectangles are in the viewport's coordinates.
    if (element == PE_IndicatorBranch && option) {
        if (const auto *view = qobject_cast<const QAbstractScrollArea *>(widget);
            view && !view->viewport()->rect().intersects(option->rect))
            return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
