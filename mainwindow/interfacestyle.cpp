#include "mainwindow/interfacestyle.h"

#include "resources/pictures.h"

QIcon InterfaceStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                   const QWidget *widget) const
{
    switch (standardIcon) {
    case SP_ToolBarHorizontalExtensionButton:
        return pictures::moreItemsImage(Qt::Horizontal);
    case SP_ToolBarVerticalExtensionButton:
        return pictures::moreItemsImage(Qt::Vertical);
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
