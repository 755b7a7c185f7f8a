// The bars' overflow buttons show the program's own double arrow, and every
// other standard picture still comes from the desktop's style.
#include "mainwindow/interfacestyle.h"
#include "resources/pictures.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QImage pictureOf(const QIcon &icon)
{
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A bar with more items than fit in its window, so it shows its overflow button.
using CrampedBar = std::function<QWidget *(QMainWindow &)>;

} // namespace

Q_DECLARE_METATYPE(CrampedBar)

class TestInterfaceStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void overflowButtonShowsOwnArrow_data();
    void overflowButtonShowsOwnArrow();
    void otherPicturesComeFromTheDesktopStyle_data();
    void otherPicturesComeFromTheDesktopStyle();
};

void TestInterfaceStyle::initTestCase()
{
    QApplication::setStyle(new InterfaceStyle);
}

void TestInterfaceStyle::overflowButtonShowsOwnArrow_data()
{
    QTest::addColumn<CrampedBar>("makeBar");
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<Qt::Orientation>("orientation");

    const auto toolbar = [](Qt::Orientation orientation) {
        return CrampedBar([orientation](QMainWindow &window) {
            auto *bar = new QToolBar(&window);
            bar->setOrientation(orientation);
            for (int i = 0; i < 20; ++i)
                bar->addAction(u"項目 %1"_s.arg(i));
            window.addToolBar(
                    orientation == Qt::Horizontal ? Qt::TopToolBarArea : Qt::LeftToolBarArea, bar);
            return static_cast<QWidget *>(bar);
        });
    };
    QTest::newRow("horizontal toolbar")
            << toolbar(Qt::Horizontal) << u"qt_toolbar_ext_button"_s << Qt::Horizontal;
    QTest::newRow("vertical toolbar")
            << toolbar(Qt::Vertical) << u"qt_toolbar_ext_button"_s << Qt::Vertical;
    QTest::newRow("menu bar") << CrampedBar([](QMainWindow &window) {
        QMenuBar *bar = window.menuBar();
        for (int i = 0; i < 20; ++i)
            bar->addMenu(u"メニュー %1"_s.arg(i));
        return static_cast<QWidget *>(bar);
    }) << u"qt_menubar_ext_button"_s
                              << Qt::Horizontal;
}

void TestInterfaceStyle::overflowButtonShowsOwnArrow()
{
    QFETCH(CrampedBar, makeBar);
    QFETCH(QString, buttonName);
    QFETCH(Qt::Orientation, orientation);

    QMainWindow window;
    window.setCentralWidget(new QWidget);
    QWidget *bar = makeBar(window);
    window.resize(160, 160);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto *button = bar->findChild<QToolButton *>(buttonName);
    QVERIFY(button);
    QTRY_VERIFY(button->isVisible());
    QCOMPARE(pictureOf(button->icon()), pictureOf(pictures::moreItemsImage(orientation)));
}

void TestInterfaceStyle::otherPicturesComeFromTheDesktopStyle_data()
{
    QTest::addColumn<QStyle::StandardPixmap>("standardPixmap");
    QTest::newRow("question") << QStyle::SP_MessageBoxQuestion;
    QTest::newRow("warning") << QStyle::SP_MessageBoxWarning;
    QTest::newRow("up arrow") << QStyle::SP_ArrowUp;
    QTest::newRow("folder") << QStyle::SP_DirIcon;
}

void TestInterfaceStyle::otherPicturesComeFromTheDesktopStyle()
{
    QFETCH(QStyle::StandardPixmap, standardPixmap);
    const std::unique_ptr<QStyle> desktop(QStyleFactory::create(u"Fusion"_s));
    const InterfaceStyle ours(QStyleFactory::create(u"Fusion"_s));
    const QImage expected = pictureOf(desktop->standardIcon(standardPixmap));
    QVERIFY(!expected.isNull());
    QCOMPARE(pictureOf(ours.standardIcon(standardPixmap)), expected);
}

QTEST_MAIN(TestInterfaceStyle)
#include "tst_interfacestyle.moc"
