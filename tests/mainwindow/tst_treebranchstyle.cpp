// The tree's style drops branch indicators outside the view and nothing else.
#include "mainwindow/treebranchstyle.h"

#include <QCommonStyle>
#include <QImage>
#include <QPainter>
#include <QStyleOption>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Records the primitives that reach it.
class RecordingStyle : public QCommonStyle
{
public:
    mutable QList<PrimitiveElement> drawn;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *, QPainter *,
                       const QWidget *) const override
    {
        drawn.append(element);
    }
};

} // namespace

class TestTreeBranchStyle : public QObject
{
    Q_OBJECT
private slots:
    void passesOnlyWhatCanBeSeen_data();
    void passesOnlyWhatCanBeSeen();
};

void TestTreeBranchStyle::passesOnlyWhatCanBeSeen_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("ownView");
    QTest::addColumn<bool>("drawn");

    // The viewport is 200 x 100; indicators are 20 wide, one row high.
    const int branch = QStyle::PE_IndicatorBranch;
    QTest::newRow("branch inside the view") << branch << QRect(40, 20, 20, 18) << true << true;
    QTest::newRow("branch across the left edge") << branch << QRect(-10, 20, 20, 18) << true << true;
    QTest::newRow("branch across the right edge") << branch << QRect(190, 20, 20, 18) << true << true;
    QTest::newRow("branch scrolled out to the left") << branch << QRect(-40, 20, 20, 18) << true << false;
    QTest::newRow("branch far to the right") << branch << QRect(40960, 20, 20, 18) << true << false;
    QTest::newRow("branch below the view") << branch << QRect(40, 120, 20, 18) << true << false;
    QTest::newRow("other primitive out of the view")
            << int(QStyle::PE_IndicatorArrowDown) << QRect(-40, 20, 20, 18) << true << true;
    // Only the view the style was made for is culled.
    QTest::newRow("another view's branch out of its view") << branch << QRect(-40, 20, 20, 18) << false << true;
}

void TestTreeBranchStyle::passesOnlyWhatCanBeSeen()
{
    QFETCH(int, element);
    QFETCH(QRect, rect);
    QFETCH(bool, ownView);
    QFETCH(bool, drawn);

    QTreeView view;
    QTreeView otherView;
    otherView.viewport()->resize(200, 100);
    auto *base = new RecordingStyle; // the proxy owns its base
    TreeBranchStyle style(&view, base);
    view.viewport()->resize(200, 100);
    QCOMPARE(view.viewport()->rect(), QRect(0, 0, 200, 100));

    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QStyleOption option;
    option.rect = rect;
    style.drawPrimitive(QStyle::PrimitiveElement(element), &option, &painter,
                        ownView ? &view : &otherView);
    QCOMPARE(base->drawn.size(), drawn ? 1 : 0);
    if (drawn)
        QCOMPARE(int(base->drawn.front()), element);
}

QTEST_MAIN(TestTreeBranchStyle)
#include "tst_treebranchstyle.moc"
