#include "document/checkmarks.h"
#include "document/document.h"
#include "tests/support/commandscript.h"
#include "tests/support/outlinescript.h"
#include "tests/support/recordingobserver.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCheckMarks : public QObject
{
    Q_OBJECT

private slots:
    void toggle_data();
    void toggle();
    void propagationThroughCollapsedParent_data();
    void propagationThroughCollapsedParent();
    void propagateCheckStart_data();
    void propagateCheckStart();
    void deepChain();
};

void TestCheckMarks::toggle_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QString>("marksAfter");
    QTest::addColumn<bool>("dataChanged");

    // Every category starts unchecked with icon 3 or 2 unless `marks` says otherwise.
    QTest::newRow("unchecked leaf becomes checked")
            << u"C0 C1>C0 C2>C0"_s << QString() << u"@C1 check"_s << u"yes"_s
            << u"C0:2- C1:6+ C2:3-"_s << true;
    QTest::newRow("toggled twice is unchecked again")
            << u"C0 C1>C0 C2>C0"_s << QString() << u"@C1 check check"_s << u"yes yes"_s
            << u"C0:2- C1:3- C2:3-"_s << true;
    QTest::newRow("checking the last unchecked child checks the parent")
            << u"C0 C1>C0 C2>C1 C3>C1 C4>C0"_s << u"C2:6+"_s << u"@C3 check"_s << u"yes"_s
            << u"C0:2- C1:5+ C2:6+ C3:6+ C4:3-"_s << true;
    QTest::newRow("checks climb up to the root")
            << u"C0 C1>C0 C2>C1 C3>C2 C4>C2 C5>C1 C6>C0"_s << u"C4:6+ C5:6+ C6:6+"_s
            << u"@C3 check"_s << u"yes"_s << u"C0:5+ C1:5+ C2:5+ C3:6+ C4:6+ C5:6+ C6:6+"_s << true;
    QTest::newRow("the root's only child checks the root")
            << u"C0 C1>C0"_s << QString() << u"@C1 check"_s << u"yes"_s << u"C0:5+ C1:6+"_s << true;
    QTest::newRow("one unchecked child among many keeps the parent unchecked")
            << u"C0 C1>C0 C2>C0 C3>C0 C4>C0"_s << u"C1:6+ C3:6+ C4:6+"_s << u"@C4 check"_s
            << u"yes"_s << u"C0:2- C1:6+ C2:3- C3:6+ C4:3-"_s << true;
    QTest::newRow("the last of many checks the parent")
            << u"C0 C1>C0 C2>C0 C3>C0 C4>C0"_s << u"C1:6+ C3:6+ C4:6+"_s << u"@C2 check"_s
            << u"yes"_s << u"C0:5+ C1:6+ C2:6+ C3:6+ C4:6+"_s << true;
    QTest::newRow("unchecking a leaf unchecks every ancestor")
            << u"C0 C1>C0 C2>C1 C3>C2 C4>C0"_s << u"C0:5+ C1:5+ C2:5+ C3:6+ C4:6+"_s
            << u"@C3 check"_s << u"yes"_s << u"C0:2- C1:2- C2:2- C3:3- C4:6+"_s << true;
    QTest::newRow("a sibling loaded unchecked stays so")
            << u"C0 C1>C0 C2>C0 C3>C2 C4>C2"_s << u"C3:6+ C4:6+"_s << u"@C1 check"_s << u"yes"_s
            << u"C0:2- C1:6+ C2:2- C3:6+ C4:6+"_s << true;
    QTest::newRow("a propagation through a parent loaded unchecked corrects it")
            << u"C0 C1>C0 C2>C0 C3>C2 C4>C2"_s << u"C1:6+ C3:6+ C4:6+"_s << u"@C3 check check"_s
            << u"yes yes"_s << u"C0:5+ C1:6+ C2:5+ C3:6+ C4:6+"_s << true;
    QTest::newRow("the root does not toggle")
            << u"C0 C1>C0"_s << QString() << u"@C0 check"_s << u"no"_s << u"C0:2- C1:3-"_s << false;
    QTest::newRow("the root alone does not toggle")
            << u"C0"_s << QString() << u"@C0 check"_s << u"no"_s << u"C0:3-"_s << false;
    QTest::newRow("a category with children does not toggle")
            << u"C0 C1>C0 C2>C1"_s << QString() << u"@C1 check"_s << u"no"_s
            << u"C0:2- C1:2- C2:3-"_s << false;
    QTest::newRow("a checked category with children does not toggle")
            << u"C0 C1>C0 C2>C1"_s << u"C1:5+ C2:6+"_s << u"@C1 check"_s << u"no"_s
            << u"C0:2- C1:5+ C2:6+"_s << false;
    QTest::newRow("nothing selected")
            << u"C0 C1>C0"_s << QString() << u"@- check"_s << u"no"_s << u"C0:2- C1:3-"_s << false;
}

void TestCheckMarks::toggle()
{
    QFETCH(QString, tree);
    QFETCH(QString, marks);
    QFETCH(QString, commands);
    QFETCH(QString, results);
    QFETCH(QString, marksAfter);
    QFETCH(bool, dataChanged);

    Document document;
    QCOMPARE(outlinescript::build(document.outline, tree), QString());
    QCOMPARE(outlinescript::setMarks(document.outline, marks), QString());
    RecordingObserver observer(document.outline);

    QCOMPARE(runCommands(document, commands), results);

    QCOMPARE(outlinescript::marks(document.outline), marksAfter);
    QCOMPARE(document.DataChanged, dataChanged);
    QCOMPARE(observer.structure, QStringList());
    QCOMPARE(observer.problems(), QStringList());

    // Only the toggled category and its ancestors may be redrawn.
    const Category *toggled = document.outline.selected();
    for (const QString &key : std::as_const(observer.changes)) {
        const Category *changed = document.outline.item(key);
        const Category *walk = toggled;
        while (walk && walk != changed)
            walk = walk->parent();
        QVERIFY2(walk, qPrintable(key + u" changed off the toggled path"_s));
    }
}

void TestCheckMarks::propagationThroughCollapsedParent_data()
{
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("toggled");
    QTest::addColumn<QString>("marksAfter");

    // C0(C1(C2 C3)), C1 collapsed: it shows the open folder afterwards but stays closed.
    QTest::newRow("collapsed becomes checked")
            << u"C1:1- C2:6+"_s << u"C3"_s << u"C0:5+ C1:5+ C2:6+ C3:6+"_s;
    QTest::newRow("collapsed and checked becomes unchecked")
            << u"C0:5+ C1:4+ C2:6+ C3:6+"_s << u"C2"_s << u"C0:2- C1:2- C2:3- C3:6+"_s;
    QTest::newRow("collapsed stays unchecked")
            << u"C1:1-"_s << u"C2"_s << u"C0:2- C1:2- C2:6+ C3:3-"_s;
}

void TestCheckMarks::propagationThroughCollapsedParent()
{
    QFETCH(QString, marks);
    QFETCH(QString, toggled);
    QFETCH(QString, marksAfter);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C1"_s), QString());
    QCOMPARE(outlinescript::setMarks(outline, marks), QString());
    QVERIFY(!outline.item(u"C1"_s)->expanded());
    RecordingObserver observer(outline);

    outline.select(outline.item(toggled));
    QVERIFY(toggleSelectedMark(document));

    QCOMPARE(outlinescript::marks(outline), marksAfter);
    QVERIFY(!outline.item(u"C1"_s)->expanded());
    QCOMPARE(observer.expansions, QStringList());
    QCOMPARE(observer.problems(), QStringList());
}

void TestCheckMarks::propagateCheckStart_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("marksAfter");

    // On C0(C1(C2) C3) with marks C0:4+ C1:1- C2:6+ C3:3-, which break the rule.
    QTest::newRow("from nothing") << QString() << u"C0:4+ C1:1- C2:6+ C3:3-"_s;
    QTest::newRow("from the root") << u"C0"_s << u"C0:4+ C1:1- C2:6+ C3:3-"_s;
    QTest::newRow("from a child of the root recomputes only the root")
            << u"C3"_s << u"C0:2- C1:1- C2:6+ C3:3-"_s;
    QTest::newRow("from a grandchild recomputes both ancestors")
            << u"C2"_s << u"C0:2- C1:5+ C2:6+ C3:3-"_s;
}

void TestCheckMarks::propagateCheckStart()
{
    QFETCH(QString, start);
    QFETCH(QString, marksAfter);

    Outline outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0"_s), QString());
    QCOMPARE(outlinescript::setMarks(outline, u"C0:4+ C1:1- C2:6+ C3:3-"_s), QString());

    PropagateCheck(outline, outline.item(start));

    QCOMPARE(outlinescript::marks(outline), marksAfter);
}

void TestCheckMarks::deepChain()
{
    constexpr int depth = 2048;
    Document document;
    Outline &outline = document.outline;
    Category *deepest = outline.addTopLevel(u"C0"_s, u"root"_s);
    for (int n = 1; n <= depth; ++n)
        deepest = outline.addChild(deepest, u"C"_s + QString::number(n), u"t"_s);
    QVERIFY(deepest);
    outline.setImage(deepest, 3);

    outline.select(deepest);
    QVERIFY(toggleSelectedMark(document));

    QCOMPARE(deepest->image(), 6);
    for (const Category *a = deepest->parent(); a; a = a->parent()) {
        if (!a->checked() || a->image() != 5)
            QFAIL(qPrintable(a->key() + u" is not checked with icon 5"_s));
    }
    QCOMPARE(outline.root()->image(), 5);

    // Deleting half way down leaves a checked leaf; the checked chain above it holds.
    RecordingObserver observer(outline);
    outline.select(outline.item(u"C1024"_s));
    QCOMPARE(runCommands(document, u"delete"_s), u"yes"_s);

    QCOMPARE(outline.count(), 1024);
    const Category *newLeaf = outline.item(u"C1023"_s);
    QCOMPARE(outline.selected(), newLeaf);
    QCOMPARE(newLeaf->image(), 6);
    QVERIFY(outline.root()->checked());
    QCOMPARE(outline.root()->image(), 5);
    QCOMPARE(observer.structure, QStringList{u"remove C1024 from C1023@0 with 1025"_s});
    QCOMPARE(observer.problems(), QStringList());
}

QTEST_GUILESS_MAIN(TestCheckMarks)
#include "tst_checkmarks.moc"
