#include "resources/pictures.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QSvgRenderer>

#include <array>
#include <map>
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
    static const std::array<QString, PlainTreeCount> names{u"closed"_s, u"open"_s, u"page"_s};
    return u":/pictures/tree/"_s + names[plain - 1] + u".svg"_s;
}

QString toolbarPath(int number)
{
    static const std::array<QString, ToolbarCount> names{
            u"new"_s,   u"open"_s,    u"save"_s,  u"copy"_s,   u"cut"_s, u"paste"_s,
            u"print"_s, u"preview"_s, u"check"_s, u"delete"_s, u"up"_s,  u"down"_s};
    return u":/pictures/toolbar/"_s + QString::number(number).rightJustified(2, u'0') + u'-'
            + names[number - 1] + u".svg"_s;
}

// Draws the layers one over the other, so a ticked picture is its plain
// picture pixel for pixel with only the tick added. Each size is drawn when
// first asked for: drawing every size of every picture up front was a tenth
// of the time to start the program.
//
// A picture keeps the proportions of its drawing: asked for a box of another
// shape, it fills as much of it as it can and is never stretched.
class LayeredSvgEngine final : public QIconEngine
{
public:
    explicit LayeredSvgEngine(std::vector<std::shared_ptr<QSvgRenderer>> renderers)
        : m_renderers(std::move(renderers)), m_shape(m_renderers.front()->viewBoxF().size())
    { }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return m_shape.scaled(size, Qt::KeepAspectRatio).toSize();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize fitted = actualSize(size, mode, state);
        QPixmap &cached = m_cache[{fitted.width(), fitted.height()}];
        if (cached.isNull())
            cached = render(fitted);
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return cached;
        // A pixmap icon greys or tints its picture the way the style does.
        return QIcon(cached).pixmap(fitted, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSize shown = (QSizeF(picture.size()) / ratio).toSize();
        const QPoint centred = rect.topLeft()
                + QPoint(rect.width() / 2 - shown.width() / 2,
                         rect.height() / 2 - shown.height() / 2);
        painter->drawPixmap(QRect(centred, shown), picture);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int size : PixelSizes)
            sizes.append(QSize(size, size));
        return sizes;
    }

    QIconEngine *clone() const override { return new LayeredSvgEngine(*this); }
    QString key() const override { return u"sorveka-layered-svg"_s; }

private:
    QPixmap render(const QSize &size) const
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        for (const auto &renderer : m_renderers)
            renderer->render(&painter, QRectF(QPointF(0, 0), size));
        painter.end();
        return QPixmap::fromImage(std::move(image));
    }

    std::vector<std::shared_ptr<QSvgRenderer>> m_renderers;
    QSizeF m_shape;
    std::map<std::pair<int, int>, QPixmap> m_cache;
};

QIcon renderIcon(const QStringList &layers)
{
    registerPictures();
    std::vector<std::shared_ptr<QSvgRenderer>> renderers;
    for (const QString &path : layers) {
        renderers.push_back(std::make_shared<QSvgRenderer>(path));
        if (!renderers.back()->isValid()) {
            qWarning("pictures: cannot load %s", qPrintable(path));
            return {};
        }
    }
    return QIcon(new LayeredSvgEngine(std::move(renderers)));
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

QIcon moreItemsImage(Qt::Orientation barOrientation)
{
    static QIcon right;
    static QIcon down;
    const bool horizontal = barOrientation == Qt::Horizontal;
    QIcon &icon = horizontal ? right : down;
    if (icon.isNull())
        icon = renderIcon({horizontal ? u":/pictures/interface/more-right.svg"_s
                                      : u":/pictures/interface/more-down.svg"_s});
    return icon;
}

} // namespace pictures
