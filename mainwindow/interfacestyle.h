#pragma once

#include <QProxyStyle>

// The desktop's style, with the program's own picture on the button a menu
// bar or toolbar shows for items that do not fit. The style's own picture is
// a PNG file, and reading it loads every image format plugin on the system,
// which was a millisecond of every start for a button that rarely shows.
//
// A toolbar has no frame or margin inside it: the window sizes the bar to
// exactly one row of its buttons, and the desktop's margins would squeeze
// the buttons (and their pictures) to a sliver.
class InterfaceStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
