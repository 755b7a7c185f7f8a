#include "mainwindow/interfacestyle.h"

#include "resources/pictures.h"

int InterfaceStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const
{
    switch (metric) {
    case PM_ToolBarFrameWidth:
    case PM_ToolBarItemMargin: return 0;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QIcon InterfaceStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                   const QWidget *widget) const
{
    switch (standardIcon) {
    case SP_ToolBarHorizontalExtensionButton: return pictures::moreItemsImage(Qt::Horizontal);
    case SP_ToolBarVerticalExtensionButton: return pictures::moreItemsImage(Qt::Vertical);
    default: return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
