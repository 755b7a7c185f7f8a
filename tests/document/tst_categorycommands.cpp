#include "document/categorycommands.h"
#include "document/document.h"
#include "tests/support/commandscript.h"
#include "tests/support/outlinescript.h"
#include "tests/support/recordingobserver.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCategoryCommands : public QObject
{
    Q_OBJECT

private slots:
    void creation_data();
    void creation();
    void keyCounterLimit_data();
    void keyCounterLimit();
    void bodyTexts_data();
    void bodyTexts();
    void deletion_data();
    void deletion();
    void editIndexFollows_data();
    void editIndexFollows();
};

namespace {

QString selectedKey(const Outline &outline)
{
    return outline.selected() ? outline.selected()->key() : u"-"_s;
}

// The key the last "@K" of a command line selects.
QString lastSelection(const QString &commands)
{
    const qsizetype at = commands.lastIndexOf(u'@');
    return commands.mid(at + 1).section(u' ', 0, 0);
}

} // namespace

void TestCategoryCommands::creation_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QString>("treeAfter");
    QTest::addColumn<QString>("marksAfter");
    QTest::addColumn<QString>("expandedAfter");
    QTest::addColumn<int>("keyCounter");

    // Every category starts unchecked with icon 3 or 2 (expanded) unless
    // `marks` says otherwise; KeyCounter starts above every key.
    QTest::newRow("keys C1 to C3, then C4 after deleting C2")
            << u"C0"_s << QString() << u"@C0 below below below @C2 delete @C0 below"_s
            << u"C1 C2 C3 yes C4"_s << u"C0(C1 C3 C4)"_s << u"C0:2- C1:3- C3:3- C4:3-"_s << u"C0"_s
            << 5;
    QTest::newRow("below the root") << u"C0"_s << QString() << u"@C0 below"_s << u"C1"_s
                                    << u"C0(C1)"_s << u"C0:2- C1:3-"_s << u"C0"_s << 2;
    QTest::newRow("below an unchecked leaf")
            << u"C0 C1>C0"_s << QString() << u"@C1 below"_s << u"C2"_s << u"C0(C1(C2))"_s
            << u"C0:2- C1:2- C2:3-"_s << u"C0 C1"_s << 3;
    QTest::newRow("below a checked leaf clears its mark")
            << u"C0 C1>C0 C2>C0"_s << u"C0:5+ C1:6+ C2:6+"_s << u"@C1 below"_s << u"C3"_s
            << u"C0(C1(C3) C2)"_s << u"C0:2- C1:2- C2:6+ C3:3-"_s << u"C0 C1"_s << 4;
    QTest::newRow("below a collapsed parent expands it")
            << u"C0 C1>C0 C2>C1"_s << u"C1:1-"_s << u"@C1 below"_s << u"C3"_s << u"C0(C1(C2 C3))"_s
            << u"C0:2- C1:2- C2:3- C3:3-"_s << u"C0 C1"_s << 4;
    QTest::newRow("below a collapsed checked parent")
            << u"C0 C1>C0 C2>C1"_s << u"C0:5+ C1:4+ C2:6+"_s << u"@C1 below"_s << u"C3"_s
            << u"C0(C1(C2 C3))"_s << u"C0:2- C1:2- C2:6+ C3:3-"_s << u"C0 C1"_s << 4;
    QTest::newRow("below a deep leaf unchecks the whole chain")
            << u"C0 C1>C0 C2>C1 C3>C2 C4>C0"_s << u"C0:5+ C1:5+ C2:5+ C3:6+ C4:6+"_s
            << u"@C3 below"_s << u"C5"_s << u"C0(C1(C2(C3(C5))) C4)"_s
            << u"C0:2- C1:2- C2:2- C3:2- C4:6+ C5:3-"_s << u"C0 C1 C2 C3"_s << 6;
    QTest::newRow("below a leaf under collapsed ancestors expands them")
            << u"C0 C1>C0 C2>C1"_s << u"C0:1- C1:1-"_s << u"@C2 below"_s << u"C3"_s
            << u"C0(C1(C2(C3)))"_s << u"C0:2- C1:2- C2:2- C3:3-"_s << u"C0 C1 C2"_s << 4;
    QTest::newRow("in front of the first child becomes the first child")
            << u"C0 C1>C0 C2>C0"_s << QString() << u"@C1 front"_s << u"C3"_s << u"C0(C3 C1 C2)"_s
            << u"C0:2- C1:3- C2:3- C3:3-"_s << u"C0"_s << 4;
    QTest::newRow("in front of the last child")
            << u"C0 C1>C0 C2>C0"_s << QString() << u"@C2 front"_s << u"C3"_s << u"C0(C1 C3 C2)"_s
            << u"C0:2- C1:3- C2:3- C3:3-"_s << u"C0"_s << 4;
    QTest::newRow("in front leaves the selected category's own mark")
            << u"C0 C1>C0 C2>C1"_s << u"C0:5+ C1:5+ C2:6+"_s << u"@C2 front"_s << u"C3"_s
            << u"C0(C1(C3 C2))"_s << u"C0:2- C1:2- C2:6+ C3:3-"_s << u"C0 C1"_s << 4;
    QTest::newRow("in front under a collapsed parent expands it")
            << u"C0 C1>C0 C2>C1"_s << u"C1:1-"_s << u"@C2 front"_s << u"C3"_s << u"C0(C1(C3 C2))"_s
            << u"C0:2- C1:2- C2:3- C3:3-"_s << u"C0 C1"_s << 4;
    QTest::newRow("the selection stays, so creations pile up in front of it")
            << u"C0 C1>C0 C2>C0"_s << QString() << u"@C1 front front"_s << u"C3 C4"_s
            << u"C0(C3 C4 C1 C2)"_s << u"C0:2- C1:3- C2:3- C3:3- C4:3-"_s << u"C0"_s << 5;
    QTest::newRow("in front of the root is refused")
            << u"C0 C1>C0"_s << u"C0:5+ C1:6+"_s << u"@C0 front"_s << u"none"_s << u"C0(C1)"_s
            << u"C0:5+ C1:6+"_s << u"C0"_s << 2;
    QTest::newRow("nothing selected")
            << u"C0 C1>C0"_s << QString() << u"@- below front"_s << u"none none"_s << u"C0(C1)"_s
            << u"C0:2- C1:3-"_s << u"C0"_s << 2;
}

void TestCategoryCommands::creation()
{
    QFETCH(QString, tree);
    QFETCH(QString, marks);
    QFETCH(QString, commands);
    QFETCH(QString, results);
    QFETCH(QString, treeAfter);
    QFETCH(QString, marksAfter);
    QFETCH(QString, expandedAfter);
    QFETCH(int, keyCounter);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, tree), QString());
    QCOMPARE(outlinescript::setMarks(outline, marks), QString());
    RecordingObserver observer(outline);

    QCOMPARE(runCommands(document, commands), results);

    QCOMPARE(outlinescript::treeOrder(outline), treeAfter);
    QCOMPARE(outlinescript::marks(outline), marksAfter);
    QCOMPARE(outlinescript::expandedKeys(outline), expandedAfter);
    QCOMPARE(outline.KeyCounter, keyCounter);
    QCOMPARE(selectedKey(outline), lastSelection(commands));
    QCOMPARE(document.DataChanged, results != u"none"_s && results != u"none none"_s);
    QCOMPARE(observer.problems(), QStringList());

    for (int i = 2; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        if (results.contains(category->key())) {
            QCOMPARE(category->title(), NewCategoryTitle);
            QVERIFY(observer.visible.contains(category->key()));
        }
    }
}

void TestCategoryCommands::keyCounterLimit_data()
{
    QTest::addColumn<int>("keyCounter");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("results");
    QTest::addColumn<int>("keyCounterAfter");

    // On C0(C1).
    QTest::newRow("below at 2046 gives C2046, then nothing")
            << 2046 << u"@C1 below below @C0 below"_s << u"C2046 none none"_s << 2047;
    QTest::newRow("in front at 2046 gives C2046, then nothing")
            << 2046 << u"@C1 front front"_s << u"C2046 none"_s << 2047;
    QTest::newRow("below at 2047") << 2047 << u"@C1 below"_s << u"none"_s << 2047;
    QTest::newRow("in front at 2047") << 2047 << u"@C1 front"_s << u"none"_s << 2047;
    QTest::newRow("after loading key 2048")
            << 2049 << u"@C1 below @C1 front"_s << u"none none"_s << 2049;
    QTest::newRow("the next key is taken already")
            << 1 << u"@C1 below @C1 front"_s << u"none none"_s << 1;
}

void TestCategoryCommands::keyCounterLimit()
{
    QFETCH(int, keyCounter);
    QFETCH(QString, commands);
    QFETCH(QString, results);
    QFETCH(int, keyCounterAfter);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0"_s), QString());
    outline.KeyCounter = keyCounter;
    const QString marksBefore = outlinescript::marks(outline);
    outline.TextData[2046] = u"old body"_s;

    QCOMPARE(runCommands(document, commands), results);

    QCOMPARE(outline.KeyCounter, keyCounterAfter);
    const bool created = results.startsWith(u'C');
    QCOMPARE(outline.count(), created ? 3 : 2);
    QCOMPARE(document.DataChanged, created);
    if (created) {
        QCOMPARE(outline.TextData[2046], QString());
    } else {
        QCOMPARE(outlinescript::marks(outline), marksBefore);
        QCOMPARE(outline.TextData[2046], u"old body"_s);
    }
}

void TestCategoryCommands::bodyTexts_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QStringList>("bodies");

    // C0(C1(C2)), KeyCounter 3; slots 0 to 4 hold "body 0" to "body 4", the
    // last two left over from categories deleted earlier.
    QTest::newRow("creation below empties the slot it takes")
            << u"@C1 below"_s << u"C3"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, QString(), u"body 4"_s};
    QTest::newRow("creation in front empties the slot it takes")
            << u"@C2 front"_s << u"C3"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, QString(), u"body 4"_s};
    QTest::newRow("two creations empty two slots")
            << u"@C0 below below"_s << u"C3 C4"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, QString(), QString()};
    QTest::newRow("deletion leaves the removed categories' texts")
            << u"@C1 delete"_s << u"yes"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, u"body 3"_s, u"body 4"_s};
    QTest::newRow("creation after a deletion takes a fresh slot")
            << u"@C2 delete @C1 below"_s << u"yes C3"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, QString(), u"body 4"_s};
    QTest::newRow("refused creation empties nothing")
            << u"@C0 front"_s << u"none"_s
            << QStringList{u"body 0"_s, u"body 1"_s, u"body 2"_s, u"body 3"_s, u"body 4"_s};
}

void TestCategoryCommands::bodyTexts()
{
    QFETCH(QString, commands);
    QFETCH(QString, results);
    QFETCH(QStringList, bodies);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1"_s), QString());
    for (int slot = 0; slot < 5; ++slot)
        outline.TextData[size_t(slot)] = u"body "_s + QString::number(slot);

    QCOMPARE(runCommands(document, commands), results);

    const QStringList after(outline.TextData.begin(), outline.TextData.begin() + 5);
    QCOMPARE(after, bodies);
}

void TestCategoryCommands::deletion_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("treeAfter");
    QTest::addColumn<QString>("marksAfter");
    QTest::addColumn<QString>("selectedAfter");

    // Every category starts unchecked with icon 3 or 2 unless `marks` says otherwise.
    QTest::newRow("descendants go along") << u"C0 C1>C0 C2>C1 C3>C2 C4>C0"_s << QString() << u"C1"_s
                                          << u"C0(C4)"_s << u"C0:2- C4:3-"_s << u"C4"_s;
    QTest::newRow("only child of an unchecked parent: the parent shows 3")
            << u"C0 C1>C0 C2>C1"_s << QString() << u"C2"_s << u"C0(C1)"_s << u"C0:2- C1:3-"_s
            << u"C1"_s;
    QTest::newRow("only child of a checked parent: the parent shows 6")
            << u"C0 C1>C0 C2>C1"_s << u"C0:5+ C1:5+ C2:6+"_s << u"C2"_s << u"C0(C1)"_s
            << u"C0:5+ C1:6+"_s << u"C1"_s;
    QTest::newRow("only child: the ancestors are recomputed")
            << u"C0 C1>C0 C2>C1 C3>C0"_s << u"C0:4+ C1:5+ C2:6+"_s << u"C2"_s << u"C0(C1 C3)"_s
            << u"C0:2- C1:6+ C3:3-"_s << u"C1"_s;
    QTest::newRow("the one unchecked child: the parent and its ancestors become checked")
            << u"C0 C1>C0 C2>C1 C3>C1 C4>C1"_s << u"C3:6+ C4:6+"_s << u"C2"_s << u"C0(C1(C3 C4))"_s
            << u"C0:5+ C1:5+ C3:6+ C4:6+"_s << u"C3"_s;
    QTest::newRow("the one unchecked child of a collapsed parent")
            << u"C0 C1>C0 C2>C1 C3>C1"_s << u"C1:1- C3:6+"_s << u"C2"_s << u"C0(C1(C3))"_s
            << u"C0:5+ C1:5+ C3:6+"_s << u"C3"_s;
    QTest::newRow("a checked child among unchecked ones")
            << u"C0 C1>C0 C2>C0"_s << u"C1:6+"_s << u"C1"_s << u"C0(C2)"_s << u"C0:2- C2:3-"_s
            << u"C2"_s;
    QTest::newRow("a parent wrongly checked is corrected")
            << u"C0 C1>C0 C2>C1 C3>C1 C4>C1"_s << u"C0:5+ C1:5+ C2:6+ C4:6+"_s << u"C2"_s
            << u"C0(C1(C3 C4))"_s << u"C0:2- C1:2- C3:3- C4:6+"_s << u"C3"_s;
    QTest::newRow("the next sibling is selected")
            << u"C0 C1>C0 C2>C0 C3>C0"_s << QString() << u"C2"_s << u"C0(C1 C3)"_s
            << u"C0:2- C1:3- C3:3-"_s << u"C3"_s;
    QTest::newRow("the previous sibling when the last one goes")
            << u"C0 C1>C0 C2>C0 C3>C0"_s << QString() << u"C3"_s << u"C0(C1 C2)"_s
            << u"C0:2- C1:3- C2:3-"_s << u"C2"_s;
    QTest::newRow("neighbours in tree order, not collection order")
            << u"C0 C1>C0 C2>C0 C3<C1"_s << QString() << u"C3"_s << u"C0(C1 C2)"_s
            << u"C0:2- C1:3- C2:3-"_s << u"C1"_s;
    QTest::newRow("the root is refused") << u"C0 C1>C0"_s << u"C0:5+ C1:6+"_s << u"C0"_s
                                         << u"C0(C1)"_s << u"C0:5+ C1:6+"_s << u"C0"_s;
    QTest::newRow("nothing selected")
            << u"C0 C1>C0"_s << QString() << u"-"_s << u"C0(C1)"_s << u"C0:2- C1:3-"_s << u"-"_s;
}

void TestCategoryCommands::deletion()
{
    QFETCH(QString, tree);
    QFETCH(QString, marks);
    QFETCH(QString, deleted);
    QFETCH(QString, treeAfter);
    QFETCH(QString, marksAfter);
    QFETCH(QString, selectedAfter);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, tree), QString());
    QCOMPARE(outlinescript::setMarks(outline, marks), QString());
    const int keyCounter = outline.KeyCounter;
    const Category *gone = outline.item(deleted);
    const bool removable = gone && gone->index() != 1;
    const QString announced =
            removable ? u"remove "_s + deleted + u" from "_s + gone->parent()->key() : QString();
    RecordingObserver observer(outline);

    QCOMPARE(runCommands(document, u"@"_s + deleted + u" delete"_s),
             removable ? u"yes"_s : u"no"_s);

    QCOMPARE(outlinescript::treeOrder(outline), treeAfter);
    QCOMPARE(outlinescript::marks(outline), marksAfter);
    QCOMPARE(selectedKey(outline), selectedAfter);
    QCOMPARE(document.DataChanged, removable);
    QCOMPARE(outline.KeyCounter, keyCounter);
    QCOMPARE(observer.structure.size(), removable ? 1 : 0);
    if (removable)
        QVERIFY2(observer.structure.front().startsWith(announced),
                 qPrintable(observer.structure.front()));
    QCOMPARE(observer.selections.last(), selectedAfter);
    QCOMPARE(observer.problems(), QStringList());
}

void TestCategoryCommands::editIndexFollows_data()
{
    QTest::addColumn<QString>("edited");
    QTest::addColumn<bool>("pending");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("editedAfter");
    QTest::addColumn<int>("editIndexAfter");
    QTest::addColumn<bool>("pendingAfter");

    // C0(C1(C2) C3(C4) C5): Index 1 to 6 in key order. "" edits nothing (EditIndex 0).
    QTest::newRow("the edited category is deleted")
            << u"C3"_s << true << u"@C3 delete"_s << QString() << 0 << false;
    QTest::newRow("the edited category goes with its parent")
            << u"C2"_s << true << u"@C1 delete"_s << QString() << 0 << false;
    QTest::newRow("the edited category goes with its parent, nothing typed")
            << u"C4"_s << false << u"@C3 delete"_s << QString() << 0 << false;
    QTest::newRow("after the deleted subtree: moves down")
            << u"C5"_s << true << u"@C1 delete"_s << u"C5"_s << 4 << true;
    QTest::newRow("after the deleted subtree, nothing typed")
            << u"C5"_s << false << u"@C1 delete"_s << u"C5"_s << 4 << false;
    QTest::newRow("between deleted categories' old places")
            << u"C3"_s << true << u"@C1 delete"_s << u"C3"_s << 2 << true;
    QTest::newRow("before the deleted category: stays")
            << u"C1"_s << true << u"@C3 delete"_s << u"C1"_s << 2 << true;
    QTest::newRow("the parent of the deleted category")
            << u"C3"_s << true << u"@C4 delete"_s << u"C3"_s << 4 << true;
    QTest::newRow("the root") << u"C0"_s << true << u"@C5 delete"_s << u"C0"_s << 1 << true;
    QTest::newRow("two deletions in a row")
            << u"C5"_s << true << u"@C1 delete @C3 delete"_s << u"C5"_s << 2 << true;
    QTest::newRow("nothing edited")
            << QString() << false << u"@C1 delete"_s << QString() << 0 << false;
    QTest::newRow("a refused deletion")
            << u"C5"_s << true << u"@C0 delete"_s << u"C5"_s << 6 << true;
    QTest::newRow("creations append and move nothing")
            << u"C5"_s << true << u"@C1 below @C1 front"_s << u"C5"_s << 6 << true;
}

void TestCategoryCommands::editIndexFollows()
{
    QFETCH(QString, edited);
    QFETCH(bool, pending);
    QFETCH(QString, commands);
    QFETCH(QString, editedAfter);
    QFETCH(int, editIndexAfter);
    QFETCH(bool, pendingAfter);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C3>C0 C4>C3 C5>C0"_s), QString());
    beginEditing(document, outline.item(edited));
    document.EditPending = pending;

    runCommands(document, commands);

    QCOMPARE(document.EditIndex, editIndexAfter);
    QCOMPARE(document.EditPending, pendingAfter);
    const Category *target = document.editedCategory();
    QCOMPARE(target ? target->key() : QString(), editedAfter);

    // Typing kept in the boxes lands in the category it was typed for, or nowhere.
    document.EditPending = pending;
    WriteBackEdit(document, u"typed"_s, u"typed body"_s);
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        const bool isTarget = pending && category->key() == editedAfter;
        QCOMPARE(category->title() == u"typed"_s, isTarget);
        QCOMPARE(outline.TextData[size_t(category->keyNumber())] == u"typed body"_s, isTarget);
    }
    QVERIFY(!document.EditPending);
}

QTEST_GUILESS_MAIN(TestCategoryCommands)
#include "tst_categorycommands.moc"
