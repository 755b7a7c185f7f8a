#pragma once

#include <QProxyStyle>

// The desktop's style, with the program's own picture on the button a menu
// bar or toolbar shows for items that do not fit. The style's own picture is
// a PNG file, and reading it loads every image format plugin on the system,
// which was a millisecond of every start for a button that rarely shows.
class InterfaceStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
