#include "resources/japanesefont.h"
#include "resources/pictures.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

using IconSource = std::function<QIcon()>;
Q_DECLARE_METATYPE(IconSource)

namespace {

QImage render(const QIcon &icon, int size)
{
    return icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pure tick red, or tick red partly over the picture: red clearly dominates.
bool isReddish(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) - std::max(qGreen(pixel), qBlue(pixel)) >= 128;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rendersDrawing_data();
    void rendersDrawing();
    void outOfRangeGivesNullIcon_data();
    void outOfRangeGivesNullIcon();
    void tickedTreeAddsOnlyRed_data();
    void tickedTreeAddsOnlyRed();
    void iconsAreCached();
    void highDensityUsesSharperRendering();
    void japaneseFontAsksForFirstInstalledGothic();
};

void TestPictures::init()
{
    // A drawing missing from the resources is only reported as a warning.
    QTest::failOnWarning(QRegularExpression(u"pictures:"_s));
}

void TestPictures::rendersDrawing_data()
{
    QTest::addColumn<IconSource>("source");
    QTest::addColumn<int>("size");
    // Fraction of the square that must be painted, in percent: a page or a
    // folder covers most of it, the thin cross and the scissors much less.
    QTest::addColumn<int>("minimumCoverage");

    const char *toolbarNames[] = {"new",   "open",    "save",  "copy",   "cut", "paste",
                                  "print", "preview", "check", "delete", "up",  "down"};
    const int toolbarCoverage[] = {40, 40, 60, 40, 10, 50, 50, 40, 15, 15, 30, 30};
    for (int size : {16, 32, 64}) {
        for (int n = 1; n <= 12; ++n) {
            QTest::addRow("toolbar %d %s at %d", n, toolbarNames[n - 1], size)
                    << IconSource([n] { return pictures::toolbarImage(n); }) << size
                    << toolbarCoverage[n - 1];
        }
        const char *treeNames[] = {"closed folder", "open folder", "page"};
        for (int n = 1; n <= 6; ++n) {
            QTest::addRow("tree %d %s%s at %d", n, treeNames[(n - 1) % 3], n > 3 ? " ticked" : "",
                          size)
                    << IconSource([n] { return pictures::treeImage(n); }) << size << 40;
        }
    }
    for (int size : {16, 32, 64}) {
        QTest::addRow("program icon at %d", size)
                << IconSource([] { return pictures::programIcon(); }) << size << 25;
        QTest::addRow("more items along a horizontal bar at %d", size)
                << IconSource([] { return pictures::moreItemsImage(Qt::Horizontal); }) << size
                << 10;
        QTest::addRow("more items along a vertical bar at %d", size)
                << IconSource([] { return pictures::moreItemsImage(Qt::Vertical); }) << size << 10;
    }
}

void TestPictures::rendersDrawing()
{
    QFETCH(IconSource, source);
    QFETCH(int, size);
    QFETCH(int, minimumCoverage);

    const QIcon icon = source();
    QVERIFY(!icon.isNull());
    const QImage image = render(icon, size);
    QCOMPARE(image.size(), QSize(size, size));

    int painted = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    }
    QVERIFY2(painted * 100 >= minimumCoverage * size * size,
             qPrintable(u"%1 of %2 pixels painted"_s.arg(painted).arg(size * size)));

    // Every drawing leaves its corners empty, so it sits on any background.
    const int last = size - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
}

void TestPictures::outOfRangeGivesNullIcon_data()
{
    QTest::addColumn<IconSource>("source");
    QTest::newRow("tree 0") << IconSource([] { return pictures::treeImage(0); });
    QTest::newRow("tree 7") << IconSource([] { return pictures::treeImage(7); });
    QTest::newRow("tree -1") << IconSource([] { return pictures::treeImage(-1); });
    QTest::newRow("toolbar 0") << IconSource([] { return pictures::toolbarImage(0); });
    QTest::newRow("toolbar 13") << IconSource([] { return pictures::toolbarImage(13); });
}

void TestPictures::outOfRangeGivesNullIcon()
{
    QFETCH(IconSource, source);
    QVERIFY(source().isNull());
}

void TestPictures::tickedTreeAddsOnlyRed_data()
{
    QTest::addColumn<int>("plain");
    QTest::addColumn<int>("size");
    // Whole multiples of the 16 px grid, where the tick's edges fall on pixels.
    for (int size : {16, 32, 48, 64}) {
        QTest::addRow("closed folder at %d", size) << 1 << size;
        QTest::addRow("open folder at %d", size) << 2 << size;
        QTest::addRow("page at %d", size) << 3 << size;
    }
}

void TestPictures::tickedTreeAddsOnlyRed()
{
    QFETCH(int, plain);
    QFETCH(int, size);

    const QImage before = render(pictures::treeImage(plain), size);
    const QImage after = render(pictures::treeImage(plain + 3), size);
    QCOMPARE(after.size(), before.size());

    int changed = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            ++changed;
            QVERIFY2(isReddish(after.pixel(x, y)),
                     qPrintable(u"pixel (%1, %2) became #%3"_s.arg(x).arg(y).arg(
                             qulonglong(after.pixel(x, y)), 8, 16, QChar(u'0'))));
        }
    }
    // The tick is a visible mark, not a stray pixel: at least 5% of the square.
    QVERIFY2(changed * 20 >= size * size, qPrintable(u"%1 pixels changed"_s.arg(changed)));
}

void TestPictures::iconsAreCached()
{
    QCOMPARE(pictures::treeImage(4).cacheKey(), pictures::treeImage(4).cacheKey());
    QCOMPARE(pictures::toolbarImage(9).cacheKey(), pictures::toolbarImage(9).cacheKey());
    QCOMPARE(pictures::programIcon().cacheKey(), pictures::programIcon().cacheKey());
    QVERIFY(pictures::treeImage(1).cacheKey() != pictures::treeImage(4).cacheKey());
}

void TestPictures::highDensityUsesSharperRendering()
{
    // At twice the pixels a 16 px picture must come from the 32 px rendering,
    // not from the 16 px one blown up.
    const QIcon icon = pictures::treeImage(5);
    const QPixmap dense = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(dense.size(), QSize(32, 32));
    QCOMPARE(dense.deviceIndependentSize(), QSizeF(16, 16));
    QImage expected = render(icon, 32);
    QImage actual = dense.toImage().convertToFormat(QImage::Format_ARGB32);
    actual.setDevicePixelRatio(1.0);
    QCOMPARE(actual, expected);
}

void TestPictures::japaneseFontAsksForFirstInstalledGothic()
{
    const QStringList preference{u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s,
                                 u"Noto Sans CJK JP"_s};
    const QFont font = japaneseGothicFont(15.75, QFont::Bold);
    const QStringList families = font.families();
    QCOMPARE(font.pointSizeF(), 15.75);
    QCOMPARE(font.weight(), QFont::Bold);
    QCOMPARE(japaneseGothicFont(9).weight(), QFont::Normal);
    QCOMPARE(font.hintingPreference(), QFont::PreferFullHinting);

    // The first installed gothic is the one asked for, and only that one: a
    // family named but missing, or any further family named, costs a search
    // of all fonts.
    const auto installed =
            std::find_if(preference.begin(), preference.end(),
                         [](const QString &family) { return QFontDatabase::hasFamily(family); });
    QVERIFY2(installed != preference.end(), "the test needs one of the gothics installed");
    QCOMPARE(families, QStringList{*installed});

    // The face chosen is that one rather than some unrelated default.
    const QString chosen = QFontInfo(font).family();
    QVERIFY2(families.contains(chosen), qPrintable(chosen));

    // The interface font keeps the desktop's face and size, only its drawing changes.
    QFont desktop(u"DejaVu Sans"_s, 9, QFont::DemiBold);
    desktop.setItalic(true);
    QFont expected = desktop;
    expected.setHintingPreference(QFont::PreferFullHinting);
    QCOMPARE(gridFitted(desktop), expected);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
