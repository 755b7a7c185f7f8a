#include "document/document.h"
#include "tests/support/outlinescript.h"
#include "tests/support/recordingobserver.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void resetOutline_data();
    void resetOutline();
    void writeBackEdit_data();
    void writeBackEdit();
};

void TestDocument::resetOutline_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<bool>("used");
    QTest::addColumn<bool>("dataChanged");
    QTest::addColumn<QString>("currentFile");

    // A used document has typing pending for its third category, KeyCounter 40
    // and bodies in slots 0 and 2.
    QTest::newRow("fresh document") << QString() << false << false << QString();
    QTest::newRow("unsaved changes to a file")
            << u"C0 C1>C0 C2>C1"_s << true << true << u"/home/user/メモ.svk"_s;
    QTest::newRow("saved file") << u"C0 C1>C0 C2>C1"_s << true << false << u"/tmp/a.svk"_s;
    QTest::newRow("a load that stopped half way") << u"C7 C2>C7"_s << true << false << QString();
    QTest::newRow("a load that left two top-level categories")
            << u"C7 C2>C7 C0"_s << true << true << QString();
}

void TestDocument::resetOutline()
{
    QFETCH(QString, tree);
    QFETCH(bool, used);
    QFETCH(bool, dataChanged);
    QFETCH(QString, currentFile);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, tree), QString());
    if (used) {
        outline.KeyCounter = 40;
        outline.TextData[0] = u"old root body"_s;
        outline.TextData[2] = u"old body"_s;
        document.EditPending = true;
        document.EditIndex = 3;
        outline.select(outline.item(2));
    }
    document.DataChanged = dataChanged;
    document.CurrentFile = currentFile;
    RecordingObserver observer(outline);

    ResetOutline(document);

    QCOMPARE(outlinescript::treeOrder(outline), u"C0"_s);
    const Category *root = outline.item(1);
    QCOMPARE(root, outline.item(u"C0"_s));
    QCOMPARE(root->title(), u"名前付けてね"_s);
    QCOMPARE(outlinescript::marks(outline), u"C0:1-"_s);
    QCOMPARE(root->index(), 1);
    QCOMPARE(root->keyNumber(), 0);
    QCOMPARE(outline.selected(), root);
    QCOMPARE(document.editedCategory(), root);
    QCOMPARE(outline.KeyCounter, 1);
    QCOMPARE(outline.TextData[0], QString());
    QCOMPARE(document.EditPending, false);
    QCOMPARE(document.EditIndex, 1);
    // Those two are the callers' business.
    QCOMPARE(document.DataChanged, dataChanged);
    QCOMPARE(document.CurrentFile, currentFile);

    QCOMPARE(observer.structure, (QStringList{u"reset"_s, u"add C0 to -@0"_s}));
    QCOMPARE(observer.selections.last(), u"C0"_s);
    QCOMPARE(observer.visible, QStringList{u"C0"_s});
    QCOMPARE(observer.problems(), QStringList());
}

void TestDocument::writeBackEdit_data()
{
    QTest::addColumn<int>("editIndex");
    QTest::addColumn<bool>("pending");
    QTest::addColumn<QString>("target");

    // On C0(C1(C2) C9 C2048): Index 1 to 5 in that order.
    QTest::newRow("typing is stored in its category") << 3 << true << u"C2"_s;
    QTest::newRow("the root") << 1 << true << u"C0"_s;
    QTest::newRow("another key number") << 4 << true << u"C9"_s;
    QTest::newRow("the highest body slot") << 5 << true << u"C2048"_s;
    QTest::newRow("nothing typed stores nothing") << 3 << false << QString();
    QTest::newRow("no category edited") << 0 << true << QString();
    QTest::newRow("a position past the end") << 6 << true << QString();
    QTest::newRow("a negative position") << -1 << true << QString();
}

void TestDocument::writeBackEdit()
{
    QFETCH(int, editIndex);
    QFETCH(bool, pending);
    QFETCH(QString, target);

    Document document;
    Outline &outline = document.outline;
    QCOMPARE(outlinescript::build(outline, u"C0 C1>C0 C2>C1 C9>C0 C2048>C0"_s), QString());
    document.EditIndex = editIndex;
    document.EditPending = pending;

    WriteBackEdit(document, u"typed title"_s, u"typed body"_s);

    QVERIFY(!document.EditPending);
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        const bool isTarget = category->key() == target;
        QCOMPARE(category->title(), isTarget ? u"typed title"_s : u"title "_s + category->key());
    }
    for (int slot = 0; slot <= Outline::MaxKeyNumber; ++slot) {
        const bool isTarget = !target.isEmpty() && slot == outline.item(target)->keyNumber();
        QCOMPARE(outline.TextData[size_t(slot)], isTarget ? u"typed body"_s : QString());
    }
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
