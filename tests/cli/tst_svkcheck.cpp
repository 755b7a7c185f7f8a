#include "sorveka_version.h"
#include "tests/cli/svkrunner.h"
#include "tests/support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace svktest;

// svk check and the command line as a whole: what the reader refuses, where
// each message goes, the exit statuses, help and version.
class TestSvkCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reportsEachReaderFailure_data();
    void reportsEachReaderFailure();
    void countsCategoriesOfGoodFiles_data();
    void countsCategoriesOfGoodFiles();
    void goesOnAfterABadFile();
    void missingFileCannotBeOpened();
    void badUsageExitsWithTwo_data();
    void badUsageExitsWithTwo();
    void helpShowsEveryCommandWithAnExample();
    void versionComesFromTheBuild_data();
    void versionComesFromTheBuild();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSvkCheck::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSvkCheck::reportsEachReaderFailure_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // "FILE" stands for the path svk was given.
    QTest::addColumn<QString>("expectedError");

    const QByteArray root = record("C0", {}, "Trip", "False", {"body"}); // lines 1-7
    QTest::newRow("check mark that is no Boolean")
            << record("C0", {}, "Trip", "maybe", {""})
            << u"FILE:3: check mark \"maybe\" is neither True, False nor a number"_qs;
    QTest::newRow("controls in the reason shown escaped")
            << record("C0", {}, "Trip", "\x1b]0;owned\x07\x1b[2J", {""})
            << u"FILE:3: check mark \"\\x1b]0;owned\\x07\\x1b[2J\" is neither True, False nor a number"_qs;
    QTest::newRow("check mark left empty")
            << root + record("C1", "C0", "t", "", {""})
            << u"FILE:11: check mark \"\" is neither True, False nor a number"_qs;
    QTest::newRow("key used twice") << root + record("C0", "C0", "again", "False", {"b"})
                                    << u"FILE:14: duplicate key \"C0\""_qs;
    QTest::newRow("record without key line takes the previous key") << root
                    + QByteArray("SORVEKA_PARENT=C0\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_"
                                 "CHECK_MARK\r\n") << u"FILE:10: duplicate key \"C0\""_qs;
    QTest::newRow("two keys with one number") << root + record("C1", "C0", "a", "False", {""})
                    + record("C01", "C0", "b", "False",
                             {""}) << u"FILE:22: key \"C01\" has the number of another key"_qs;
    QTest::newRow("key not followed by digits")
            << record("Cx", {}, "Trip", "False", {""})
            << u"FILE:6: key \"Cx\" is not a letter followed by decimal digits"_qs;
    QTest::newRow("second record without parent")
            << root + record("C1", {}, "orphan", "False", {""})
            << u"FILE:13: category \"C1\" has no parent key"_qs;
    QTest::newRow("parent not loaded before") << root + record("C1", "C9", "t", "False", {""})
                                              << u"FILE:14: unknown parent key \"C9\""_qs;
    QTest::newRow("key number past the body slots")
            << root + record("C2049", "C0", "t", "False", {""})
            << u"FILE:14: key number of \"C2049\" is above 2048"_qs;
    QTest::newRow("empty file") << QByteArray() << u"FILE:1: no complete record (no category)"_qs;
    QTest::newRow("plain text") << QByteArray("Dear diary,\r\nnothing happened.\r\n")
                                << u"FILE:2: no complete record (no category)"_qs;
    QTest::newRow("cut off inside the first body")
            << QByteArray("SORVEKA_KEY=C0\r\nSORVEKA_DATA_CHECK_MARK\r\nhalf")
            << u"FILE:3: no complete record (no category)"_qs;
}

void TestSvkCheck::reportsEachReaderFailure()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expectedError);
    const QString path = m_dir->filePath(QStringLiteral("bad.svk"));
    QVERIFY(files::writeBytes(path, bytes));

    const SvkRun run = runSvk({QStringLiteral("check"), path});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), QString(expectedError).replace(u"FILE"_qs, path) + u'\n');

    // dump refuses the same file with the same line, and writes nothing.
    const SvkRun dump = runSvk({QStringLiteral("dump"), path});
    QCOMPARE(dump.exitCode, 1);
    QCOMPARE(dump.out, QByteArray());
    QCOMPARE(dump.err, run.err);
}

void TestSvkCheck::countsCategoriesOfGoodFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expectedCount");

    QTest::newRow("worked example") << files::bytesOf(fixturePath(QStringLiteral("trip.svk"))) << 3;
    QTest::newRow("root only") << record("C0", {}, "r", "True", {}) << 1;
    QTest::newRow("file cut off after the first record") << record("C0", {}, "r", "False", {""})
                    + "SORVEKA_KEY=C1\r\nSORVEKA_DATA_CHECK_MARK\r\nhalf"
                                                         << 1;
    QTest::newRow("deepest chain") << chain(2049) << 2049;
}

void TestSvkCheck::countsCategoriesOfGoodFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expectedCount);
    const QString path = m_dir->filePath(QStringLiteral("good.svk"));
    QVERIFY(files::writeBytes(path, bytes));

    const SvkRun run = runSvk({QStringLiteral("check"), path});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             QStringLiteral("%1: %2 categories\n").arg(path).arg(expectedCount));
}

void TestSvkCheck::goesOnAfterABadFile()
{
    const QString good = fixturePath(QStringLiteral("trip.svk"));
    const QString bad = m_dir->filePath(QStringLiteral("予定.svk"));
    const QString alsoGood = m_dir->filePath(QStringLiteral("one.svk"));
    QVERIFY(files::writeBytes(bad, "nothing here\r\n"));
    QVERIFY(files::writeBytes(alsoGood, record("C0", {}, "r", "False", {""})));

    const SvkRun run = runSvk({QStringLiteral("check"), good, bad, alsoGood});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QString::fromUtf8(run.out),
             good + u": 3 categories\n"_qs + alsoGood + u": 1 categories\n"_qs);
    QCOMPARE(QString::fromUtf8(run.err), bad + u":1: no complete record (no category)\n"_qs);
}

void TestSvkCheck::missingFileCannotBeOpened()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.svk"));
    const SvkRun run = runSvk({QStringLiteral("check"), missing});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err),
             missing + u": cannot open: No such file or directory\n"_qs);
}

void TestSvkCheck::badUsageExitsWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expectedFirstLine");

    QTest::newRow("nothing") << QStringList() << u"svk: missing command"_qs;
    QTest::newRow("unknown command")
            << QStringList{u"show"_qs, u"a.svk"_qs} << u"svk: unknown command \"show\""_qs;
    QTest::newRow("option before the command")
            << QStringList{u"--quiet"_qs, u"check"_qs} << u"svk: unknown option --quiet"_qs;
    QTest::newRow("check without file")
            << QStringList{u"check"_qs} << u"svk: check: missing file argument"_qs;
    QTest::newRow("check with an option") << QStringList{u"check"_qs, u"-q"_qs, u"a.svk"_qs}
                                          << u"svk: check: unknown option -q"_qs;
    QTest::newRow("dump without file") << QStringList{u"dump"_qs, u"--format"_qs, u"text"_qs}
                                       << u"svk: dump: missing file argument"_qs;
    QTest::newRow("dump of two files") << QStringList{u"dump"_qs, u"a.svk"_qs, u"b.svk"_qs}
                                       << u"svk: dump: takes one file, got 2"_qs;
    QTest::newRow("dump in an unknown format")
            << QStringList{u"dump"_qs, u"--format=yaml"_qs, u"a.svk"_qs}
            << u"svk: dump: unknown format \"yaml\" (json, markdown, opml or text)"_qs;
    QTest::newRow("format without value") << QStringList{u"dump"_qs, u"a.svk"_qs, u"--format"_qs}
                                          << u"svk: dump: option --format needs a value"_qs;
    QTest::newRow("import without output")
            << QStringList{u"import"_qs, u"a.opml"_qs} << u"svk: import: missing -o OUT.svk"_qs;
    QTest::newRow("import from an unknown format")
            << QStringList{u"import"_qs, u"--from"_qs, u"csv"_qs,
                           u"a.csv"_qs,  u"-o"_qs,     u"a.svk"_qs}
            << u"svk: import: unknown input format \"csv\" (opml)"_qs;
    QTest::newRow("output without value") << QStringList{u"import"_qs, u"a.opml"_qs, u"-o"_qs}
                                          << u"svk: import: option -o needs a value"_qs;
    QTest::newRow("import option on dump")
            << QStringList{u"dump"_qs, u"-o"_qs, u"x"_qs, u"a.svk"_qs}
            << u"svk: dump: unknown option -o"_qs;
}

void TestSvkCheck::badUsageExitsWithTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expectedFirstLine);
    const SvkRun run = runSvk(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    const QStringList lines = QString::fromUtf8(run.err).split(u'\n');
    QCOMPARE(lines.front(), expectedFirstLine);
    QVERIFY2(lines.value(1).startsWith(u"Usage: svk check FILE..."_qs), run.err.constData());
}

void TestSvkCheck::helpShowsEveryCommandWithAnExample()
{
    const SvkRun run = runSvk({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const QString help = QString::fromUtf8(run.out);
    for (const QString &command : {u"check"_qs, u"dump"_qs, u"import"_qs}) {
        QVERIFY2(help.contains(u"\n  "_qs + command + u' '), qPrintable(command));
        QVERIFY2(help.contains(u"Example: svk "_qs + command + u' '), qPrintable(command));
    }
    for (const QString &format : {u"json"_qs, u"markdown"_qs, u"opml"_qs, u"text"_qs})
        QVERIFY2(help.contains(u"\n        "_qs + format + u' '), qPrintable(format));

    // Asked for anywhere, help wins over an incomplete command.
    QCOMPARE(runSvk({QStringLiteral("import"), QStringLiteral("-h")}).out, run.out);
}

void TestSvkCheck::versionComesFromTheBuild_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("long") << QStringList{u"--version"_qs};
    QTest::newRow("short") << QStringList{u"-v"_qs};
    QTest::newRow("after a command") << QStringList{u"check"_qs, u"--version"_qs};
}

void TestSvkCheck::versionComesFromTheBuild()
{
    QFETCH(QStringList, arguments);
    const SvkRun run = runSvk(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("svk ") + sorvekaVersion() + u'\n');
}

QTEST_GUILESS_MAIN(TestSvkCheck)
#include "tst_svkcheck.moc"
