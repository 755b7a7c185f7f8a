// Build-time helper: renders the program's SVG into square PNGs for the
// hicolor icon theme, so the repository keeps only the drawing itself.
// Usage: sorveka_iconrender <picture.svg> <output folder> <icon name> <size>...
// Writes <output folder>/<size>x<size>/<icon name>.png for each size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

static int fail(const QString &message)
{
    std::fprintf(stderr, "sorveka_iconrender: %s\n", qUtf8Printable(message));
    return 1;
}

int main(int argc, char *argv[])
{
    if (argc < 5)
        return fail(QStringLiteral(
                "usage: sorveka_iconrender <picture.svg> <output folder> <icon name> <size>..."));

    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    const QDir outputRoot(QString::fromLocal8Bit(argv[2]));
    const QString iconName = QString::fromLocal8Bit(argv[3]);

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(svgPath));

    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return fail(QStringLiteral("bad size %1").arg(QString::fromLocal8Bit(argv[i])));

        // Transparent outside the drawing: the theme puts icons on any background.
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }

        const QString folder = QStringLiteral("%1x%1").arg(size);
        if (!outputRoot.mkpath(folder))
            return fail(QStringLiteral("cannot create %1").arg(outputRoot.filePath(folder)));
        const QString pngPath =
                outputRoot.filePath(folder + u'/' + iconName + QStringLiteral(".png"));
        if (!image.save(pngPath, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(pngPath));
    }
    return 0;
}
