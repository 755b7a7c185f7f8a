#include "document/outline.h"
#include "tests/support/outlinescript.h"
#include "tests/support/recordingobserver.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void keyNumberOf_data();
    void keyNumberOf();
    void treeChanges_data();
    void treeChanges();
    void itemByPosition_data();
    void itemByPosition();
    void itemByKey_data();
    void itemByKey();
    void refusedKeys_data();
    void refusedKeys();
    void removalDropsSelection_data();
    void removalDropsSelection();
    void replaceWithKeepsObserver();
    void deepChainRemoval_data();
    void deepChainRemoval();
};

void TestOutline::keyNumberOf_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<int>("number");

    QTest::newRow("root key") << u"C0"_s << true << 0;
    QTest::newRow("two digits") << u"C17"_s << true << 17;
    QTest::newRow("leading zeros") << u"C007"_s << true << 7;
    QTest::newRow("any first character") << u"X7"_s << true << 7;
    QTest::newRow("full-width first character") << u"Ｃ7"_s << true << 7;
    QTest::newRow("highest slot") << u"C2048"_s << true << 2048;
    QTest::newRow("beyond the slots comes back as it is") << u"C2049"_s << true << 2049;
    QTest::newRow("at the cap") << u"C1000000"_s << true << 1000000;
    QTest::newRow("just past the cap") << u"C1000001"_s << true << 1000000;
    QTest::newRow("beyond any integer") << u"C99999999999999999999999"_s << true << 1000000;
    QTest::newRow("letter only") << u"C"_s << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("trailing letter") << u"C1a"_s << false << 0;
    QTest::newRow("minus sign") << u"C-1"_s << false << 0;
    QTest::newRow("plus sign") << u"C+1"_s << false << 0;
    QTest::newRow("blank inside") << u"C 1"_s << false << 0;
    QTest::newRow("trailing blank") << u"C1 "_s << false << 0;
    QTest::newRow("full-width digit") << u"C１"_s << false << 0;
}

void TestOutline::keyNumberOf()
{
    QFETCH(QString, key);
    QFETCH(bool, numbered);
    QFETCH(int, number);

    const std::optional<int> result = Outline::keyNumberOf(key);
    QCOMPARE(result.has_value(), numbered);
    if (numbered)
        QCOMPARE(*result, number);
}

void TestOutline::treeChanges_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("collection");
    QTest::addColumn<QStringList>("announced");

    QTest::newRow("child goes last") << u"C0 C1>C0 C2>C0"_s << u"C3>C0"_s << u"C0(C1 C2 C3)"_s
                                     << u"C0 C1 C2 C3"_s << QStringList{u"add C3 to C0@2"_s};
    QTest::newRow("first child of a leaf") << u"C0 C1>C0"_s << u"C2>C1"_s << u"C0(C1(C2))"_s
                                           << u"C0 C1 C2"_s << QStringList{u"add C2 to C1@0"_s};
    QTest::newRow("previous of the first child is first in tree, last in collection")
            << u"C0 C1>C0 C2>C0"_s << u"C3<C1"_s << u"C0(C3 C1 C2)"_s << u"C0 C1 C2 C3"_s
            << QStringList{u"add C3 to C0@0"_s};
    QTest::newRow("previous of a middle child")
            << u"C0 C1>C0 C2>C0"_s << u"C3<C2"_s << u"C0(C1 C3 C2)"_s << u"C0 C1 C2 C3"_s
            << QStringList{u"add C3 to C0@1"_s};
    QTest::newRow("previous on a deeper level")
            << u"C0 C1>C0 C2>C1 C3>C1"_s << u"C4<C3"_s << u"C0(C1(C2 C4 C3))"_s
            << u"C0 C1 C2 C3 C4"_s << QStringList{u"add C4 to C1@1"_s};
    QTest::newRow("the highest body slot")
            << u"C0 C1>C0"_s << u"C2048>C1"_s << u"C0(C1(C2048))"_s << u"C0 C1 C2048"_s
            << QStringList{u"add C2048 to C1@0"_s};
    QTest::newRow("second top-level category")
            << u"C0"_s << u"C1"_s << u"C0 C1"_s << u"C0 C1"_s << QStringList{u"add C1 to -@1"_s};
    QTest::newRow("removing a subtree closes up Index")
            << u"C0 C1>C0 C2>C1 C3>C0"_s << u"-C1"_s << u"C0(C3)"_s << u"C0 C3"_s
            << QStringList{u"remove C1 from C0@0 with 2"_s};
    QTest::newRow("removing the first child renumbers the rows after it")
            << u"C0 C1>C0 C2>C0 C3>C0"_s << u"-C1"_s << u"C0(C2 C3)"_s << u"C0 C2 C3"_s
            << QStringList{u"remove C1 from C0@0 with 1"_s};
    QTest::newRow("removing a subtree scattered in collection order")
            << u"C0 C1>C0 C2>C0 C3>C1 C4>C2 C5>C3"_s << u"-C1"_s << u"C0(C2(C4))"_s << u"C0 C2 C4"_s
            << QStringList{u"remove C1 from C0@0 with 3"_s};
    QTest::newRow("removing the only child leaves a leaf")
            << u"C0 C1>C0 C2>C1"_s << u"-C2"_s << u"C0(C1)"_s << u"C0 C1"_s
            << QStringList{u"remove C2 from C1@0 with 1"_s};
    QTest::newRow("removing the last category")
            << u"C0 C1>C0 C2>C0"_s << u"-C2"_s << u"C0(C1)"_s << u"C0 C1"_s
            << QStringList{u"remove C2 from C0@1 with 1"_s};
    QTest::newRow("adding after a removal appends")
            << u"C0 C1>C0 C2>C1 C3>C0 -C1"_s << u"C4<C3"_s << u"C0(C4 C3)"_s << u"C0 C3 C4"_s
            << QStringList{u"add C4 to C0@0"_s};
    QTest::newRow("a removed key can be added again")
            << u"C0 C1>C0 C2>C0"_s << u"-C1 C1>C2"_s << u"C0(C2(C1))"_s << u"C0 C2 C1"_s
            << QStringList{u"remove C1 from C0@0 with 1"_s, u"add C1 to C2@0"_s};
    QTest::newRow("mixed changes")
            << u"C0 C1>C0 C2>C1 C3>C0"_s << u"C4<C1 -C2 C5>C4 C6<C5 -C3"_s << u"C0(C4(C6 C5) C1)"_s
            << u"C0 C1 C4 C5 C6"_s
            << QStringList{u"add C4 to C0@0"_s, u"remove C2 from C1@0 with 1"_s,
                           u"add C5 to C4@0"_s, u"add C6 to C4@0"_s,
                           u"remove C3 from C0@2 with 1"_s};
}

void TestOutline::treeChanges()
{
    QFETCH(QString, setup);
    QFETCH(QString, change);
    QFETCH(QString, tree);
    QFETCH(QString, collection);
    QFETCH(QStringList, announced);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, setup), QString());
    RecordingObserver observer(outline);
    QCOMPARE(outlinescript::build(outline, change), QString());

    QCOMPARE(outlinescript::treeOrder(outline), tree);
    QCOMPARE(outlinescript::collectionOrder(outline), collection);
    QCOMPARE(outline.root()->index(), 1);
    QCOMPARE(outlinescript::structureProblems(outline), QString());
    QCOMPARE(observer.structure, announced);
    QCOMPARE(observer.problems(), QStringList());
}

void TestOutline::itemByPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("key");

    // Built from C0 C1 C2 C3, then C1 with its child C2 removed.
    QTest::newRow("root") << 1 << u"C0"_s;
    QTest::newRow("closed-up position") << 2 << u"C3"_s;
    QTest::newRow("one past the end") << 3 << QString();
    QTest::newRow("old position of a removed category") << 4 << QString();
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("largest position") << 32767 << QString();
}

void TestOutline::itemByPosition()
{
    QFETCH(int, position);
    QFETCH(QString, key);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0 -C1"_s), QString());
    const Category *found = outline.item(position);
    QCOMPARE(found ? found->key() : QString(), key);
    if (found)
        QCOMPARE(found->index(), position);
}

void TestOutline::itemByKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");

    // Built from C0 C1 C2 C3 C17, then C1 with its child C2 removed.
    QTest::newRow("root") << u"C0"_s << 1;
    QTest::newRow("moved down by the removal") << u"C3"_s << 2;
    QTest::newRow("two digits") << u"C17"_s << 3;
    QTest::newRow("removed") << u"C1"_s << 0;
    QTest::newRow("removed with its parent") << u"C2"_s << 0;
    QTest::newRow("same number, leading zero") << u"C03"_s << 0;
    QTest::newRow("never added") << u"C4"_s << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestOutline::itemByKey()
{
    QFETCH(QString, key);
    QFETCH(int, index);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0 C17>C3 -C1"_s), QString());
    const Category *found = outline.item(key);
    QCOMPARE(found ? found->index() : 0, index);
    if (found)
        QCOMPARE(found->key(), key);
}

void TestOutline::refusedKeys_data()
{
    QTest::addColumn<QString>("attempt");

    // Tried on C0(C1(C2) C3).
    QTest::newRow("child with its parent's key") << u"C1>C1"_s;
    QTest::newRow("child with a sibling's key") << u"C3>C0"_s;
    QTest::newRow("child with a descendant's key") << u"C2>C0"_s;
    QTest::newRow("previous with its relative's key") << u"C3<C3"_s;
    QTest::newRow("previous with the root's key") << u"C0<C1"_s;
    QTest::newRow("top-level with the root's key") << u"C0"_s;
    // Every category owns a body slot, so keys that name none are refused too.
    QTest::newRow("key without a number") << u"X>C0"_s;
    QTest::newRow("letter only") << u"C>C1"_s;
    QTest::newRow("trailing letter") << u"C4a<C3"_s;
    QTest::newRow("number past the body slots") << u"C2049>C2"_s;
    QTest::newRow("far past the body slots") << u"C99999999999>C0"_s;
    QTest::newRow("top-level without a number") << u"Y"_s;
    // One number names one body slot, whatever the letters around it.
    QTest::newRow("leading zeros of a taken number") << u"C001>C0"_s;
    QTest::newRow("other letter, taken number") << u"X3>C1"_s;
}

void TestOutline::refusedKeys()
{
    QFETCH(QString, attempt);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0"_s), QString());
    const QString key = attempt.section(u'>', 0, 0).section(u'<', 0, 0);
    const Category *holder = outline.item(key);
    RecordingObserver observer(outline);

    QCOMPARE(outlinescript::build(outline, attempt), u"refused: "_s + attempt);

    QCOMPARE(outlinescript::treeOrder(outline), u"C0(C1(C2) C3)"_s);
    QCOMPARE(outlinescript::collectionOrder(outline), u"C0 C1 C2 C3"_s);
    QCOMPARE(outline.item(key), holder);
    QCOMPARE(observer.structure, QStringList());
    QCOMPARE(observer.problems(), QStringList());
}

void TestOutline::removalDropsSelection_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("selectedAfter");

    // On C0(C1(C2) C3).
    QTest::newRow("the selected category") << u"C1"_s << u"C1"_s << QString();
    QTest::newRow("inside the removed subtree") << u"C2"_s << u"C1"_s << QString();
    QTest::newRow("outside the removed subtree") << u"C3"_s << u"C1"_s << u"C3"_s;
    QTest::newRow("the parent of the removed category") << u"C1"_s << u"C2"_s << u"C1"_s;
}

void TestOutline::removalDropsSelection()
{
    QFETCH(QString, selected);
    QFETCH(QString, removed);
    QFETCH(QString, selectedAfter);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0"_s), QString());
    outline.select(outline.item(selected));
    const Category *kept = outline.item(selectedAfter);

    outline.remove(outline.item(removed));

    // Compared by address only: a selection left behind would point at freed memory.
    QCOMPARE(outline.selected(), kept);
}

void TestOutline::replaceWithKeepsObserver()
{
    Outline shown;
    QCOMPARE(outlinescript::build(shown, u"C0 C1>C0 C2>C1"_s), QString());
    shown.TextData[1] = u"old body"_s;
    RecordingObserver observer(shown);

    Outline loaded;
    QCOMPARE(outlinescript::build(loaded, u"C0 C5>C0 C9>C0"_s), QString());
    loaded.TextData[9] = u"loaded body"_s;
    loaded.select(loaded.item(u"C5"_s));

    shown.replaceWith(std::move(loaded));

    QCOMPARE(observer.structure, QStringList{u"reset"_s});
    QCOMPARE(outlinescript::treeOrder(shown), u"C0(C5 C9)"_s);
    QCOMPARE(shown.KeyCounter, 10);
    QCOMPARE(shown.TextData[9], u"loaded body"_s);
    QCOMPARE(shown.TextData[1], QString());
    QCOMPARE(shown.selected(), shown.item(u"C5"_s));
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(loaded.root(), nullptr);

    // The view still follows the outline it shows.
    QVERIFY(shown.addChild(shown.item(u"C9"_s), u"C10"_s, u"t"_s));
    QCOMPARE(observer.structure, (QStringList{u"reset"_s, u"add C10 to C9@0"_s}));
    QCOMPARE(observer.problems(), QStringList());
}

void TestOutline::deepChainRemoval_data()
{
    QTest::addColumn<int>("removedDepth");

    QTest::newRow("whole chain below the root") << 1;
    QTest::newRow("half way down") << 1024;
    QTest::newRow("deepest") << 2048;
}

void TestOutline::deepChainRemoval()
{
    QFETCH(int, removedDepth);
    constexpr int depth = 2048;

    Outline outline;
    Category *last = outline.addTopLevel(u"C0"_s, u"root"_s);
    for (int n = 1; n <= depth; ++n)
        last = outline.addChild(last, u"C"_s + QString::number(n), u"t"_s);
    QVERIFY(last);
    QCOMPARE(outline.count(), depth + 1);

    RecordingObserver observer(outline);
    outline.remove(outline.item(u"C"_s + QString::number(removedDepth)));

    QCOMPARE(outline.count(), removedDepth);
    const Category *deepest = outline.item(removedDepth);
    QCOMPARE(deepest->key(), u"C"_s + QString::number(removedDepth - 1));
    QCOMPARE(deepest->childCount(), 0);
    QCOMPARE(observer.structure,
             QStringList{u"remove C%1 from C%2@0 with %3"_s.arg(removedDepth)
                                 .arg(removedDepth - 1)
                                 .arg(depth - removedDepth + 1)});
    QCOMPARE(observer.problems(), QStringList());
}

QTEST_GUILESS_MAIN(TestOutline)
#include "tst_outline.moc"
