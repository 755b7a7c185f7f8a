#include "saverrun.h"
#include "tests/support/samplefiles.h"

#include "tests/mainwindow/formdriver.h"

#include "document/document.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"
#include "mainwindow/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The shim's switch in this very process, when it is preloaded.
using ArmFunction = int (*)(const char *, int, int, const char *);
using CountedFunction = int (*)();

ArmFunction armFunction()
{
    return reinterpret_cast<ArmFunction>(::dlsym(RTLD_DEFAULT, "sorveka_fault_arm"));
}

int countedCalls()
{
    const auto counted =
            reinterpret_cast<CountedFunction>(::dlsym(RTLD_DEFAULT, "sorveka_fault_counted"));
    return counted ? counted() : -1;
}

int errnoNamed(const QString &name)
{
    return name == u"EIO" ? EIO : ENOSPC;
}

} // namespace

// Saves that meet a failing write, fsync, rename or close at every point in
// turn: the file on disk must stay the previous outline byte for byte (or be
// the new one, complete), the failure must be reported and DataChanged kept.
class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void everyFailingCallLosesNothing_data();
    void everyFailingCallLosesNothing();
    void windowReportsTheFailure_data();
    void windowReportsTheFailure();
};

void TestSaveFaults::initTestCase()
{
    QVERIFY2(armFunction(), "the fault shim is not preloaded");
}

void TestSaveFaults::everyFailingCallLosesNothing_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("error");
    // Calls of that kind a save makes under the folder, seen by the shim;
    // the loop must meet at least that many before a save gets through.
    QTest::addColumn<int>("expectedFaults");

    // One write of the whole file; fsync of the file, then of the folder;
    // close of the file read, the temporary and the folder.
    QTest::newRow("write, disk full") << u"write"_s << u"ENOSPC"_s << 1;
    QTest::newRow("write, I/O error") << u"write"_s << u"EIO"_s << 1;
    QTest::newRow("fsync, I/O error") << u"fsync"_s << u"EIO"_s << 2;
    QTest::newRow("fsync, disk full") << u"fsync"_s << u"ENOSPC"_s << 2;
    QTest::newRow("rename, I/O error") << u"rename"_s << u"EIO"_s << 1;
    QTest::newRow("rename, disk full") << u"rename"_s << u"ENOSPC"_s << 1;
    QTest::newRow("close, I/O error") << u"close"_s << u"EIO"_s << 3;
    QTest::newRow("close, disk full") << u"close"_s << u"ENOSPC"_s << 3;
    // The writer syncs whole files; a failing fdatasync must not matter.
    QTest::newRow("fdatasync, I/O error") << u"fdatasync"_s << u"EIO"_s << 0;
}

void TestSaveFaults::everyFailingCallLosesNothing()
{
    QFETCH(QString, call);
    QFETCH(QString, error);
    QFETCH(int, expectedFaults);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(u"旅行.svk"_s);
    const QByteArray oldBytes = writeOutline(samplefiles::trip());

    // What the edit saves when nothing fails, written in a folder of its own.
    QTemporaryDir referenceDir;
    const QString reference = referenceDir.filePath(u"旅行.svk"_s);
    QVERIFY(files::writeBytes(reference, oldBytes));
    const SaverRun clean = saverrun::run({u"save"_s, reference, u"新しい題"_s});
    QVERIFY2(clean.finished && clean.exitCode == 0, qPrintable(clean.output + clean.errors));
    const QByteArray newBytes = files::bytesOf(reference);
    QVERIFY(newBytes != oldBytes);

    int faults = 0;
    int at = 1;
    for (;; ++at) {
        QVERIFY2(at <= 20, "a save still met a fault at the 20th call");
        QVERIFY(files::writeBytes(target, oldBytes));
        const FaultPlan fault{call, at, error, dir.path()};
        const SaverRun run = saverrun::run({u"save"_s, target, u"新しい題"_s},
                                           saverrun::faultEnvironment(fault));
        const QString context = u"%1 #%2: %3%4"_s.arg(call).arg(at).arg(run.output, run.errors);
        QVERIFY2(run.finished, qPrintable(context));
        QVERIFY2(run.exitCode == 0 || run.exitCode == 1, qPrintable(context));
        // Whatever happened, the folder holds the target alone: no temporary is left behind.
        QCOMPARE(files::entriesOf(dir.path()), QStringList{u"旅行.svk"_s});
        const QByteArray onDisk = files::bytesOf(target);
        if (!run.faultInjected()) {
            QVERIFY2(run.saved(), qPrintable(context));
            QCOMPARE(onDisk, newBytes);
            break;
        }
        ++faults;
        if (run.saved()) {
            // Only a failure that does not touch the new file may go unreported:
            // the close of the file that was read.
            QVERIFY2(call == u"close" && at == 1, qPrintable(context));
            QCOMPARE(onDisk, newBytes);
            continue;
        }
        QVERIFY2(run.output.contains(u"save-error %1:"_s.arg(errnoNamed(error))),
                 qPrintable(context));
        QVERIFY2(run.output.contains(target), qPrintable(context));
        QVERIFY2(run.dataChangedKept(), qPrintable(context));
        // Before the rename the old file is untouched; a failure after it (the
        // folder's sync or close) leaves the new one, complete.
        QVERIFY2(onDisk == oldBytes || onDisk == newBytes, qPrintable(context));
        if (call == u"write" || call == u"rename" || (call == u"fsync" && at == 1)
            || (call == u"close" && at == 2))
            QVERIFY2(onDisk == oldBytes, qPrintable(context));
    }
    QCOMPARE(faults, expectedFaults);
}

void TestSaveFaults::windowReportsTheFailure_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("reason");

    QTest::newRow("Save, the write finds the disk full")
            << u"write"_s << u"ENOSPC"_s << u"tSave"_s << u"ディスクの空き容量が足りません"_s;
    QTest::newRow("Save As onto the same file, the rename fails")
            << u"rename"_s << u"EIO"_s << u"mCreate"_s << u"入出力エラーが起きました"_s;
}

void TestSaveFaults::windowReportsTheFailure()
{
    QFETCH(QString, call);
    QFETCH(QString, error);
    QFETCH(QString, command);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(u"trip.svk"_s);
    const QByteArray oldBytes = writeOutline(samplefiles::trip());
    QVERIFY(files::writeBytes(target, oldBytes));

    FormDriver driver;
    QVERIFY(driver.start({target}, QString()));
    QTest::keyClick(driver.titleBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(driver.titleBox(), u"typed"_s);
    ScriptedQuestions &questions = driver.questions();
    if (command == u"mCreate")
        questions.answerSave(target);
    questions.expectError();

    const QByteArray folder = QFile::encodeName(dir.path());
    QCOMPARE(armFunction()(call.toLatin1().constData(), 1, errnoNamed(error), folder.constData()),
             0);
    if (command.startsWith(u't'))
        QVERIFY(driver.clickToolbar(command));
    else
        driver.action(command)->trigger();
    const int counted = countedCalls();
    armFunction()(nullptr, 0, 0, nullptr);

    QVERIFY2(counted >= 1, "the save never reached the failing call");
    const auto errors = questions.askedOf(ScriptedQuestions::Kind::Error);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].title, u"保存エラー"_s);
    // The reason in the user's language, from the errno.
    QCOMPARE(errors[0].detail, reason);
    QVERIFY(driver.document().DataChanged);
    QCOMPARE(driver.document().CurrentFile, target);
    QCOMPARE(files::bytesOf(target), oldBytes);
    QCOMPARE(files::entriesOf(dir.path()), QStringList{u"trip.svk"_s});

    // The same save goes through once the disk is well again.
    if (command == u"mCreate")
        questions.answerSave(target);
    driver.action(command == u"tSave" ? u"mSave"_s : command)->trigger();
    QVERIFY(!driver.document().DataChanged);
    const ReadResult read = readOutlineFile(target);
    QVERIFY(read.ok());
    QCOMPARE(read.outline.root()->title(), u"typed"_s);
    QVERIFY2(questions.problems().isEmpty(), qPrintable(questions.problems().join(u'\n')));
}

// The test needs the shim in its own process: when it was started without,
// it starts itself again with it.
int main(int argc, char *argv[])
{
    if (!armFunction()) {
        const QByteArray shim = QFile::encodeName(saverrun::shimPath());
        const char *preloaded = std::getenv("LD_PRELOAD");
        const QByteArray preload = preloaded && *preloaded ? shim + ' ' + preloaded : shim;
        const char *asan = std::getenv("ASAN_OPTIONS");
        const QByteArray asanOptions = QByteArray(asan ? asan : "") + ":verify_asan_link_order=0";
        ::setenv("LD_PRELOAD", preload.constData(), 1);
        ::setenv("ASAN_OPTIONS", asanOptions.constData(), 1);
        ::execv("/proc/self/exe", argv);
        std::perror("restarting with the fault shim");
        return 1;
    }
    QApplication app(argc, argv);
    TestSaveFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"
