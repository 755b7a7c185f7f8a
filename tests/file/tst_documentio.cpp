// Data rows take concatenated bytes as values: with QStringBuilder they would
// hand QTest a builder where the column expects a QByteArray.
#undef QT_USE_QSTRINGBUILDER

#include "outlinetestsupport.h"

#include "document/document.h"
#include "document/outlineobserver.h"
#include "file/documentio.h"
#include "file/outlinereader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/childprocess.h"
#include "tests/support/testfiles.h"

using namespace Qt::StringLiterals;
using namespace outlinetest;

namespace {

constexpr int childCouldNotPrepare = childprocess::couldNotPrepare;

using files::bytesOf;
using files::entriesOf;
using files::writeBytes;

// The worked example of the format, with typing pending as when a save starts.
void fillWorkedExample(Document &document)
{
    document.outline = build({
            {u"C0"_s, {}, u"Trip"_s, false, u"Leave on Friday."_s},
            {u"C1"_s, u"C0"_s, u"Packing"_s, false, u"Camera\r\nUmbrella"_s},
            {u"C2"_s, u"C0"_s, u"Tickets"_s, true, {}},
    });
    document.EditPending = true;
    document.DataChanged = true;
    document.EditIndex = 2;
}

class CountingObserver : public OutlineObserver
{
public:
    int resets = 0;
    int changes = 0;
    int selections = 0;
    Category *lastSelected = nullptr;

    void categoryAboutToBeAdded(Category *, int) override { }
    void categoryAdded(Category *) override { }
    void categoryAboutToBeRemoved(Category *) override { }
    void categoryRemoved() override { }
    void outlineAboutToBeReset() override { }
    void outlineReset() override { ++resets; }
    void categoryChanged(Category *, Change) override { ++changes; }
    void expansionChanged(Category *) override { }
    void selectionChanged(Category *selected) override
    {
        ++selections;
        lastSelected = selected;
    }
    void madeVisible(Category *) override { }
};

// Exit status of a child that ran DataSave: which promises held on failure.
enum ChildReport {
    ReportedError = 1,
    KeptEditPending = 2,
    KeptDataChanged = 4,
};

// Runs DataSave in a child so that limits and identities set for the test stay
// there. Returns the child's report, childCouldNotPrepare when `prepare`
// failed, or -1 when the child did not exit normally.
int saveInChild(const QString &path, const std::function<bool()> &prepare)
{
    return childprocess::run(prepare, [&] {
        Document document;
        fillWorkedExample(document);
        const auto error = DataSave(document, path);
        return (error && !error->message.isEmpty() ? ReportedError : 0)
                | (document.EditPending ? KeptEditPending : 0)
                | (document.DataChanged ? KeptDataChanged : 0);
    });
}

} // namespace

class TestDocumentIo : public QObject
{
    Q_OBJECT

private slots:
    void savesOutline_data();
    void savesOutline();
    void keepsStateWhenSaveFails_data();
    void keepsStateWhenSaveFails();
    void keepsOldFileWhenWriteFails_data();
    void keepsOldFileWhenWriteFails();
    void savedFileReadsBack();
    void adoptsLoadedOutline_data();
    void adoptsLoadedOutline();
};

void TestDocumentIo::savesOutline_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::addColumn<bool>("emptyOutline");

    QTest::newRow("new file") << u"trip.svk"_s << QByteArray() << false;
    QTest::newRow("replaces a longer file") << u"trip.svk"_s << QByteArray(5000, 'x') << false;
    QTest::newRow("replaces a shorter file") << u"trip.svk"_s << "old"_ba << false;
    QTest::newRow("Japanese file name") << u"旅行メモ.svk"_s << "old"_ba << false;
    QTest::newRow("other extension") << u"trip.txt"_s << QByteArray() << false;
    QTest::newRow("empty outline") << u"empty.svk"_s << "old"_ba << true;
}

void TestDocumentIo::savesOutline()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, before);
    QFETCH(bool, emptyOutline);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (!before.isEmpty())
        QVERIFY(writeBytes(path, before));

    Document document;
    fillWorkedExample(document);
    if (emptyOutline)
        document.outline.clear();

    const auto error = DataSave(document, path);
    QVERIFY2(!error, error ? qPrintable(error->message) : "");
    QCOMPARE(bytesOf(path), emptyOutline ? QByteArray() : fixture(u"worked_example.svk"_s));
    QCOMPARE(entriesOf(dir.path()), QStringList{name});
    QVERIFY(!document.EditPending);
    QVERIFY(!document.DataChanged);
    // Saving reads the outline and changes nothing in it.
    QCOMPARE(document.EditIndex, 2);
    QCOMPARE(document.outline.count(), emptyOutline ? 0 : 3);
}

void TestDocumentIo::keepsStateWhenSaveFails_data()
{
    QTest::addColumn<QString>("target"); // relative to the test folder

    QTest::newRow("folder does not exist") << u"missing/trip.svk"_s;
    QTest::newRow("path is a folder") << u"folder"_s;
    QTest::newRow("parent is a file") << u"keep.svk/trip.svk"_s;
    QTest::newRow("empty path") << QString();
}

void TestDocumentIo::keepsStateWhenSaveFails()
{
    QFETCH(QString, target);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(u"keep.svk"_s), "old"_ba));
    QVERIFY(QDir(dir.path()).mkpath(u"folder"_s));
    QVERIFY(writeBytes(dir.filePath(u"folder/inside.svk"_s), "inside"_ba));
    const QStringList before = entriesOf(dir.path());

    Document document;
    fillWorkedExample(document);
    const auto error = DataSave(document, target.isEmpty() ? QString() : dir.filePath(target));

    QVERIFY(error);
    QVERIFY(!error->message.isEmpty());
    QVERIFY(error->code != 0);
    QVERIFY(document.EditPending);
    QVERIFY(document.DataChanged);
    QCOMPARE(entriesOf(dir.path()), before);
    QCOMPARE(bytesOf(dir.filePath(u"keep.svk"_s)), "old"_ba);
    QCOMPARE(entriesOf(dir.filePath(u"folder"_s)), QStringList{u"inside.svk"_s});
    QCOMPARE(bytesOf(dir.filePath(u"folder/inside.svk"_s)), "inside"_ba);
}

void TestDocumentIo::keepsOldFileWhenWriteFails_data()
{
    QTest::addColumn<bool>("readOnlyFolder"); // else the file size is limited

    QTest::newRow("read-only folder") << true;
    QTest::newRow("no room for the new file") << false;
}

void TestDocumentIo::keepsOldFileWhenWriteFails()
{
    QFETCH(bool, readOnlyFolder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"notes"_s);
    const QString path = folder + u"/trip.svk"_s;
    QVERIFY(QDir(dir.path()).mkpath(u"notes"_s));
    // Shorter than the new outline, so a size limit just above it stops the write.
    QVERIFY(writeBytes(path, "old outline"_ba));
    const QStringList before = entriesOf(folder);

    int reported = 0;
    if (readOnlyFolder) {
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        // Root ignores folder permissions: the child gives up root first, on a
        // path the unprivileged account may walk.
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        reported = saveInChild(path, childprocess::leaveRoot);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        if (reported == childCouldNotPrepare)
            QSKIP("Running as root and unable to drop to an unprivileged account.");
    } else {
        reported = saveInChild(path, [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64, 64};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        });
    }

    QCOMPARE(reported, ReportedError | KeptEditPending | KeptDataChanged);
    QCOMPARE(entriesOf(folder), before);
    QCOMPARE(bytesOf(path), "old outline"_ba);
}

void TestDocumentIo::savedFileReadsBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"旅行メモ.svk"_s);

    Document document;
    document.outline = build({
            {u"C0"_s, {}, u"旅行"_s, false, u"金曜日に出発。"_s},
            {u"C4"_s, u"C0"_s, u"荷造り"_s, false, u"カメラ\r\n傘\r\n"_s},
            {u"C2"_s, u"C4"_s, u"切符"_s, true, {}},
    });
    QVERIFY(!DataSave(document, path));

    const ReadResult result = readOutlineFile(path);
    QVERIFY(result.ok());
    QCOMPARE(describe(result.outline),
             (QStringList{uR"(C0 "旅行" img 2 open body "金曜日に出発。")"_s,
                          uR"(C4 under C0 "荷造り" img 1 body "カメラ\r\n傘\r\n")"_s,
                          uR"(C2 under C4 "切符" checked img 6 body "")"_s}));
    QCOMPARE(result.outline.KeyCounter, 5);
}

void TestDocumentIo::adoptsLoadedOutline_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("keyCounter");

    QTest::newRow("worked example") << u"worked_example.svk"_s << 3;
    QTest::newRow("Japanese outline") << u"旅行メモ.svk"_s << 4;
    QTest::newRow("file with a cut-off record") << u"cut_off.svk"_s << 2;
}

void TestDocumentIo::adoptsLoadedOutline()
{
    QFETCH(QString, name);
    QFETCH(int, keyCounter);

    Document document;
    CountingObserver observer;
    document.outline.setObserver(&observer);
    ResetOutline(document);
    document.outline.addChild(document.outline.root(), u"C1"_s, u"old"_s);
    document.EditIndex = 2;
    document.EditPending = true;
    document.DataChanged = true;
    document.CurrentFile = u"/notes/old.svk"_s;

    ReadResult result = readOutlineFile(fixturePath(name));
    QVERIFY(result.ok());
    const QStringList loaded = describe(result.outline);
    observer = CountingObserver();

    adoptLoadedOutline(document, std::move(result.outline));

    const Outline &outline = document.outline;
    QCOMPARE(describe(outline), loaded);
    QCOMPARE(outline.KeyCounter, keyCounter);
    QVERIFY(outline.root());
    QCOMPARE(outline.selected(), outline.root());
    QCOMPARE(document.EditIndex, 1);
    QCOMPARE(document.editedCategory(), outline.root());
    QVERIFY(!document.EditPending);
    QVERIFY(!document.DataChanged);
    QCOMPARE(document.CurrentFile, u"/notes/old.svk"_s);

    // The view was told of one reset and of the selection, and keeps listening.
    QCOMPARE(observer.resets, 1);
    QCOMPARE(observer.lastSelected, outline.root());
    document.outline.setTitle(outline.root(), u"renamed"_s);
    QCOMPARE(observer.changes, 1);
}

QTEST_GUILESS_MAIN(TestDocumentIo)
#include "tst_documentio.moc"
