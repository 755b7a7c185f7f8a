#include "resources/pictures.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QSvgRenderer>

#include <array>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

// The resources live in a static library: without this reference the linker
// would drop their registration from programs that never name it.
static void registerPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace pictures {
namespace {

constexpr int TreeCount = 6;
constexpr int PlainTreeCount = 3;
constexpr int ToolbarCount = 12;

// Logical sizes a tree, toolbar or title bar asks for, each also at twice the
// pixels for high-density screens. Whole multiples of the 16 px grid stay crisp.
constexpr std::array<int, 6> PixelSizes{16, 24, 32, 48, 64, 96};

const QString TickPath = u":/pictures/tree/tick.svg"_s;

QString treePath(int plain)
{
    static const std::array<QString, PlainTreeCount> names{
        u"closed"_s, u"open"_s, u"page"_s};
    return u":/pictures/tree/"_s + names[plain - 1] + u".svg"_s;
}

QString toolbarPath(int number)
{
    static const std::array<QString, ToolbarCount> names{
        u"new"_s,  u"open"_s,    u"save"_s,  u"copy"_s,   u"cut"_s, u"paste"_s,
        u"print"_s, u"preview"_s, u"check"_s, u"delete"_s, u"up"_s,  u"down"_s};
    return u":/pictures/toolbar/"_s + QString::number(number).rightJustified(2, u'0')
        + u'-' + names[number - 1] + u".svg"_s;
}

// Draws the layers one over the other, so a ticked picture is its plain
// picture pixel for pixel with only the tick added.
QIcon renderIcon(const QStringList &layers)
{
    registerPictures();
    std::vector<std::unique_ptr<QSvgRenderer>> renderers;
    for (const QString &path : layers) {
        renderers.push_back(std::make_unique<QSvgRenderer>(path));
        if (!renderers.back()->isValid()) {
            qWarning("pictures: cannot load %s", qPrintable(path));
            return {};
        }
    }
    QIcon icon;
    for (int size : PixelSizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        for (const auto &renderer : renderers)
            renderer->render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

QIcon treeImage(int image)
{
    if (image < 1 || image > TreeCount)
        return {};
    static std::array<QIcon, TreeCount> cache;
    QIcon &icon = cache[image - 1];
    if (icon.isNull()) {
        const bool ticked = image > PlainTreeCount;
        QStringList layers{treePath(ticked ? image - PlainTreeCount : image)};
        if (ticked)
            layers.append(TickPath);
        icon = renderIcon(layers);
    }
    return icon;
}

QIcon toolbarImage(int number)
{
    if (number < 1 || number > ToolbarCount)
        return {};
    static std::array<QIcon, ToolbarCount> cache;
    QIcon &icon = cache[number - 1];
    if (icon.isNull())
        icon = renderIcon({toolbarPath(number)});
    return icon;
}

QIcon programIcon()
{
    static QIcon icon;
    if (icon.isNull())
        icon = renderIcon({u":/pictures/sorveka.svg"_s});
    return icon;
}

} // namespace pictures
