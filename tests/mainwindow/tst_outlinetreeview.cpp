// The tree draws deep rows' branch indicators itself: pixel for pixel what
// QTreeView draws, with style calls only for the levels in sight.
#include "mainwindow/outlinetreeview.h"

#include <QHeaderView>
#include <QImage>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A chain `depth` levels deep whose items have `siblings` later siblings
// each, so that indicators show lines that go on below, and end rows.
std::unique_ptr<QStandardItemModel> chainModel(int depth, int siblings)
{
    auto model = std::make_unique<QStandardItemModel>();
    QStandardItem *parent = model->invisibleRootItem();
    for (int level = 0; level < depth; ++level) {
        auto *link = new QStandardItem(u"段 %1"_s.arg(level));
        parent->appendRow(link);
        for (int s = 0; s < siblings; ++s)
            parent->appendRow(new QStandardItem(u"横 %1.%2"_s.arg(level).arg(s)));
        parent = link;
    }
    return model;
}

enum class Scroll { Start, Middle, End };

// Shows `model` in `view` the way the window does (every level open, a
// column as wide as the deepest row, the view scrolled sideways), with the
// deepest link selected.
void present(QTreeView &view, QStandardItemModel &model, int depth, Scroll scroll, bool decorated,
             Qt::LayoutDirection direction)
{
    view.setLayoutDirection(direction);
    view.setRootIsDecorated(decorated);
    view.setUniformRowHeights(true);
    view.setHeaderHidden(true);
    view.setModel(&model);
    view.header()->setStretchLastSection(false);
    view.expandAll();
    view.resize(240, 200);
    view.header()->resizeSection(0, view.indentation() * (depth + 1) + 200);
    QModelIndex deepest = model.index(0, 0);
    while (model.hasChildren(deepest))
        deepest = model.index(0, 0, deepest);
    view.setCurrentIndex(deepest);
    // The scroll bars get their ranges once the view is laid out.
    view.show();
    QCoreApplication::processEvents();
    view.scrollTo(deepest);
    QCoreApplication::processEvents();
    QScrollBar *bar = view.horizontalScrollBar();
    const int sideways[] = {bar->minimum(), (bar->minimum() + bar->maximum()) / 2, bar->maximum()};
    bar->setValue(sideways[int(scroll)]);
}

// Counts the branch indicators the view asks for.
class CountingStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    mutable int branches = 0;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_IndicatorBranch)
            ++branches;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

class TestOutlineTreeView : public QObject
{
    Q_OBJECT
private slots:
    void drawsWhatTreeViewDraws_data();
    void drawsWhatTreeViewDraws();
    void asksOnlyForLevelsInSight_data();
    void asksOnlyForLevelsInSight();
};

void TestOutlineTreeView::drawsWhatTreeViewDraws_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("siblings");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<bool>("decorated");
    QTest::addColumn<bool>("rightToLeft");

    const int start = int(Scroll::Start), middle = int(Scroll::Middle), end = int(Scroll::End);
    QTest::newRow("shallow") << 4 << 2 << start << true << false;
    QTest::newRow("deep, at the start") << 60 << 1 << start << true << false;
    QTest::newRow("deep, halfway") << 60 << 1 << middle << true << false;
    QTest::newRow("deep, at the end") << 60 << 1 << end << true << false;
    QTest::newRow("deep chain without siblings") << 60 << 0 << end << true << false;
    QTest::newRow("root not decorated") << 60 << 1 << middle << false << false;
    QTest::newRow("right to left, halfway") << 60 << 1 << middle << true << true;
    QTest::newRow("right to left, at the end") << 60 << 1 << end << true << true;
}

void TestOutlineTreeView::drawsWhatTreeViewDraws()
{
    QFETCH(int, depth);
    QFETCH(int, siblings);
    QFETCH(int, scroll);
    QFETCH(bool, decorated);
    QFETCH(bool, rightToLeft);

    // A style that draws the lines between levels, not only the arrows.
    std::unique_ptr<QStyle> style(QStyleFactory::create(u"Windows"_s));
    QVERIFY(style);
    const auto direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    const auto model = chainModel(depth, siblings);

    QTreeView reference;
    reference.setStyle(style.get());
    present(reference, *model, depth, Scroll(scroll), decorated, direction);
    OutlineTreeView view;
    view.setStyle(style.get());
    present(view, *model, depth, Scroll(scroll), decorated, direction);

    QCOMPARE(view.horizontalScrollBar()->value(), reference.horizontalScrollBar()->value());
    // Deep rows reach past the view's edge, where the view draws them itself.
    if (depth * view.indentation() > view.viewport()->width())
        QVERIFY(view.horizontalScrollBar()->maximum() > 0);
    const QImage expected = reference.grab().toImage();
    const QImage actual = view.grab().toImage();
    QCOMPARE(actual.size(), expected.size());
    QVERIFY(actual == expected);
}

void TestOutlineTreeView::asksOnlyForLevelsInSight_data()
{
    QTest::addColumn<int>("scroll");
    QTest::addColumn<bool>("rightToLeft");

    QTest::newRow("at the start") << int(Scroll::Start) << false;
    QTest::newRow("halfway") << int(Scroll::Middle) << false;
    QTest::newRow("at the end") << int(Scroll::End) << false;
    QTest::newRow("right to left, at the start") << int(Scroll::Start) << true;
    QTest::newRow("right to left, at the end") << int(Scroll::End) << true;
}

void TestOutlineTreeView::asksOnlyForLevelsInSight()
{
    QFETCH(int, scroll);
    QFETCH(bool, rightToLeft);

    constexpr int Depth = 2048;
    std::unique_ptr<QStyle> base(QStyleFactory::create(u"Windows"_s));
    QVERIFY(base);
    auto *style = new CountingStyle(base.release()); // the proxy owns its base
    const auto model = chainModel(Depth, 0);
    OutlineTreeView view;
    view.setStyle(style);
    present(view, *model, Depth, Scroll(scroll), true,
            rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);

    style->branches = 0;
    view.grab();
    // Every row in sight is deeper than the view is wide.
    const int rows = view.viewport()->height() / view.sizeHintForRow(0) + 2;
    const int levels = view.viewport()->width() / view.indentation() + 2;
    QVERIFY2(style->branches >= rows - 2, qPrintable(QString::number(style->branches)));
    QVERIFY2(style->branches <= rows * levels, qPrintable(QString::number(style->branches)));
    delete style;
}

QTEST_MAIN(TestOutlineTreeView)
#include "tst_outlinetreeview.moc"
