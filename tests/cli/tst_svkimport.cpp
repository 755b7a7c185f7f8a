#include "tests/cli/svkrunner.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace svktest;

namespace {

// Code page 932 spellings of the Japanese texts used below.
const QByteArray Trip = "\x97\xb7\x8d\x73"; // 旅行
const QByteArray Packing = "\x89\xd7\x91\xa2\x82\xe8"; // 荷造り
const QByteArray Camera = "\x83\x4a\x83\x81\x83\x89"; // カメラ
const QByteArray Schedule = "\x97\x5c\x92\xe8\x95\x5c"; // 予定表 (0x5C as second byte)

} // namespace

// svk import: OPML into outline files, back and forth with dump, and what it
// refuses or warns about.
class TestSvkImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dumpedOpmlImportsBackUnchanged_data();
    void dumpedOpmlImportsBackUnchanged();
    void buildsTheFileTheWindowWouldSave_data();
    void buildsTheFileTheWindowWouldSave();
    void refusesWithoutWriting_data();
    void refusesWithoutWriting();
    void refusesInputThatIsNoFile_data();
    void refusesInputThatIsNoFile();
    void largestOutlineIsAccepted();
    void fileSizeLimitFailsTheSave();
    void warnsAboutTextTheFileCannotHold_data();
    void warnsAboutTextTheFileCannotHold();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSvkImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSvkImport::dumpedOpmlImportsBackUnchanged_data()
{
    QTest::addColumn<QByteArray>("outlineFile");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("worked example")
            << files::bytesOf(fixturePath(u"trip.svk"_qs)) << u"trip.svk"_qs;
    QTest::newRow("Japanese titles and bodies, Japanese file name")
            << record("C0", {}, Trip, "False", {QByteArray(Schedule + "=1"), ""})
                    + record("C1", "C0", Packing, "True", {Camera, Schedule})
                    + record("C2", "C1", QByteArray(Camera + " & <" + Schedule + ">"), "False",
                             {""})
                    + record("C3", "C0", "", "True", {"", ""})
            << u"旅行メモ.svk"_qs;
    QTest::newRow("marks that disagree with the children")
            << record("C0", {}, "r", "True", {""}) + record("C1", "C0", "a", "False", {"x"})
                    + record("C2", "C1", "b", "False", {"y"})
                    + record("C3", "C2", "c", "True", {"z"})
            << u"marks.svk"_qs;
}

void TestSvkImport::dumpedOpmlImportsBackUnchanged()
{
    QFETCH(QByteArray, outlineFile);
    QFETCH(QString, fileName);
    const QString original = path(fileName);
    const QString opml = path(u"exported.opml"_qs);
    const QString imported = path(u"imported.svk"_qs);
    QVERIFY(files::writeBytes(original, outlineFile));

    const SvkRun exported = runSvk({u"dump"_qs, u"--format"_qs, u"opml"_qs, original});
    QCOMPARE(exported.exitCode, 0);
    QVERIFY(exported.out.contains(QByteArray("<title>" + fileName.toUtf8() + "</title>")));
    QVERIFY(files::writeBytes(opml, exported.out));

    const SvkRun import =
            runSvk({u"import"_qs, u"--from"_qs, u"opml"_qs, opml, u"-o"_qs, imported});
    QCOMPARE(import.err, QByteArray());
    QCOMPARE(import.exitCode, 0);

    const SvkRun before = runSvk({u"dump"_qs, original});
    const SvkRun after = runSvk({u"dump"_qs, imported});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out, before.out);
    // Keys in document order are collection order here, so even the bytes agree.
    QCOMPARE(files::bytesOf(imported), outlineFile);
}

void TestSvkImport::buildsTheFileTheWindowWouldSave_data()
{
    QTest::addColumn<QByteArray>("opml");
    QTest::addColumn<QByteArray>("expectedFile");

    QTest::newRow("further top-level outlines become children of the first")
            << QByteArray("<opml version=\"2.0\"><head><title>x</title></head><body>\n"
                          "<outline text=\"First\" _note=\"one&#10;two\">\n"
                          "  <outline text=\"Inner\" _complete=\"true\"/>\n"
                          "</outline>\n"
                          "<outline text=\"Second\" _status=\"checked\">\n"
                          "  <outline text=\"Deeper\"/>\n"
                          "</outline>\n"
                          "<outline text=\"Third\" _complete=\"false\"/>\n"
                          "</body></opml>\n")
            << record("C0", {}, "First", "False", {"one", "two"})
                    + record("C1", "C0", "Inner", "True", {""})
                    + record("C2", "C0", "Second", "True", {""})
                    + record("C3", "C2", "Deeper", "False", {""})
                    + record("C4", "C0", "Third", "False", {""});
    QTest::newRow("note line ends of every kind become CR LF")
            << QByteArray("<opml><body><outline text=\"t\" "
                          "_note=\"a&#13;&#10;b&#13;c&#10;&#10;\"/></body></opml>")
            << record("C0", {}, "t", "False", {"a", "b", "c", "", ""});
    QTest::newRow("missing text is an empty title; other attributes and elements are ignored")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\"><body>"
                          "<outline type=\"link\" url=\"http://example.org/\"><extra><outline "
                          "text=\"in extra\"/></extra>"
                          "</outline></body></opml>")
            << record("C0", {}, "", "False", {""}) + record("C1", "C0", "in extra", "False", {""});
    QTest::newRow("Japanese in UTF-8 and as character references")
            << QByteArray("<opml><body><outline text=\"\xe6\x97\x85\xe8\xa1\x8c\" "
                          "_note=\"&#x30AB;&#x30E1;&#x30E9;\"/>"
                          "</body></opml>")
            << record("C0", {}, Trip, "False", {Camera});
    QTest::newRow("a line feed stays inside a title")
            << QByteArray("<opml><body><outline text=\"two&#10;lines\"/></body></opml>")
            << record("C0", {}, "two\nlines", "False", {""});
}

void TestSvkImport::buildsTheFileTheWindowWouldSave()
{
    QFETCH(QByteArray, opml);
    QFETCH(QByteArray, expectedFile);
    QVERIFY(files::writeBytes(path(u"in.opml"_qs), opml));
    const SvkRun run = runSvk({u"import"_qs, path(u"in.opml"_qs), u"-o"_qs, path(u"out.svk"_qs)});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(files::bytesOf(path(u"out.svk"_qs)), expectedFile);
}

void TestSvkImport::refusesWithoutWriting_data()
{
    QTest::addColumn<QByteArray>("opml");
    QTest::addColumn<bool>("outputExists");
    // "IN" stands for the input's path; the error line starts with this.
    QTest::addColumn<QString>("expectedError");

    QTest::newRow("one category past the key limit")
            << opmlWithOutlines(2048) << false
            << u"IN: 2048 outline elements, but an outline holds at most 2047 categories (keys C0 to C2046)"_qs;
    QTest::newRow("past the key limit, existing output kept")
            << opmlWithOutlines(3000) << true << u"IN: 3000 outline elements"_qs;
    QTest::newRow("unclosed element")
            << QByteArray("<opml>\n<body>\n<outline text=\"a\">\n</body>\n</opml>\n") << false
            << u"IN:4: malformed XML: "_qs;
    QTest::newRow("malformed after the limit was passed")
            << opmlWithOutlines(2100).replace("</body>", "</bdy>") << false
            << u"IN:2104: malformed XML: "_qs;
    QTest::newRow("empty input") << QByteArray() << true << u"IN:1: malformed XML: "_qs;
    QTest::newRow("no outline element")
            << QByteArray("<opml version=\"2.0\"><head><title>t</title></head><body/></opml>")
            << false << u"IN: no outline element"_qs;
    QTest::newRow("a body that would end early and break the file")
            << QByteArray("<opml><body><outline text=\"r\" "
                          "_note=\"SORVEKA_END_CHECK_MARK&#10;SORVEKA_DATA_CHECK_MARK\"/>"
                          "</body></opml>")
            << false
            << u"IN: the outline would not read back (line 7: duplicate key \"C0\"); nothing written"_qs;
    QTest::newRow("a note that would read back as a category of its own")
            << QByteArray(
                       "<opml><body><outline text=\"r\" "
                       "_note=\"SORVEKA_END_CHECK_MARK&#10;SORVEKA_KEY=C9&#10;"
                       "SORVEKA_PARENT=C0&#10;SORVEKA_TITLE=planted&#10;SORVEKA_CHECKED=True&#10;"
                       "SORVEKA_DATA_CHECK_MARK&#10;x\"/></body></opml>")
            << true
            << u"IN: the outline would not read back as imported (category C0 \"r\": the body "
               u"differs); "
               "nothing written"_qs;
    QTest::newRow("body line starting with the end keyword")
            << QByteArray("<opml><body><outline text=\"r\">"
                          "<outline text=\"a\" _note=\"SORVEKA_END_CHECK_MARK "
                          "here&#10;rest\"/></outline></body></opml>")
            << false
            << u"IN: the outline would not read back as imported (category C1 \"a\": the body "
               u"differs); "
               "nothing written"_qs;
}

void TestSvkImport::refusesWithoutWriting()
{
    QFETCH(QByteArray, opml);
    QFETCH(bool, outputExists);
    QFETCH(QString, expectedError);
    const QString in = path(u"in.opml"_qs);
    const QString out = path(u"out.svk"_qs);
    QVERIFY(files::writeBytes(in, opml));
    const QByteArray previous = record("C0", {}, "kept", "False", {""});
    if (outputExists)
        QVERIFY(files::writeBytes(out, previous));

    const SvkRun run = runSvk({u"import"_qs, in, u"-o"_qs, out});
    QCOMPARE(run.exitCode, 1);
    const QString error = QString::fromUtf8(run.err);
    QVERIFY2(error.startsWith(QString(expectedError).replace(u"IN"_qs, in)), qPrintable(error));
    QCOMPARE(error.count(u'\n'), 1);
    if (outputExists)
        QCOMPARE(files::bytesOf(out), previous);
    else
        QVERIFY(!QFile::exists(out));
}

void TestSvkImport::refusesInputThatIsNoFile_data()
{
    QTest::addColumn<QString>("input"); // "pipe" and "folder" are made in the test's folder
    QTest::newRow("a pipe without a writer") << u"pipe"_qs;
    QTest::newRow("a folder") << u"folder"_qs;
    QTest::newRow("an endless device") << u"/dev/zero"_qs;
}

void TestSvkImport::refusesInputThatIsNoFile()
{
    QFETCH(QString, input);
    if (input == u"pipe") {
        input = path(input);
        QCOMPARE(::mkfifo(QFile::encodeName(input).constData(), 0600), 0);
    } else if (input == u"folder") {
        input = path(input);
        QVERIFY(QDir().mkdir(input));
    }
    const SvkRun run = runSvk({u"import"_qs, input, u"-o"_qs, path(u"out.svk"_qs)});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QString::fromUtf8(run.err),
             input + u": not a regular file (a folder, pipe, device or socket)\n"_qs);
    QVERIFY(!QFile::exists(path(u"out.svk"_qs)));
}

void TestSvkImport::largestOutlineIsAccepted()
{
    QVERIFY(files::writeBytes(path(u"in.opml"_qs), opmlWithOutlines(2047)));
    const SvkRun run = runSvk({u"import"_qs, path(u"in.opml"_qs), u"-o"_qs, path(u"out.svk"_qs)});
    QCOMPARE(run.exitCode, 0);

    const SvkRun dump = runSvk({u"dump"_qs, path(u"out.svk"_qs)});
    QCOMPARE(dump.exitCode, 0);
    QVERIFY(dump.out.startsWith("{\n  \"keyCounter\": 2047,\n"));
    QVERIFY(dump.out.contains("        \"key\": \"C2046\",\n        \"title\": \"n2046\",\n"));
    QCOMPARE(dump.out.count("\"key\": "), 2047);
}

// Past a file-size limit (ulimit -f) the write fails and is reported, as on a
// full disk, instead of the signal killing svk.
void TestSvkImport::fileSizeLimitFailsTheSave()
{
    const QString in = path(u"in.opml"_qs);
    const QString out = path(u"out.svk"_qs);
    QVERIFY(files::writeBytes(in, opmlWithOutlines(2047)));
    const QByteArray previous = record("C0", {}, "kept", "False", {""});
    QVERIFY(files::writeBytes(out, previous));

    const SvkRun run = runSvk({u"import"_qs, in, u"-o"_qs, out}, {}, [] {
        const rlimit fileSize = {4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            ::_exit(125);
    });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("File too large"), run.err.constData());
    QCOMPARE(files::bytesOf(out), previous);
}

void TestSvkImport::warnsAboutTextTheFileCannotHold_data()
{
    QTest::addColumn<QByteArray>("outlineElements");
    QTest::addColumn<QString>("expectedWarnings"); // "IN" stands for the input's path
    QTest::addColumn<QByteArray>("expectedFile");

    QTest::newRow("characters outside code page 932")
            << QByteArray("<outline text=\"caf\xc3\xa9 \xf0\x9f\x98\x80\" _note=\"\xf0\x9f\x98\x80 "
                          "ok\"/>")
            << u"IN: warning: category C0 \"café 😀\": code page 932 cannot hold U+00E9 \"é\", "
               u"U+1F600 \"😀\"; "
               "written as \"?\"\n"_qs
            << record("C0", {}, "caf? ?", "False", {"? ok"});
    QTest::newRow("title with a line break")
            << QByteArray("<outline text=\"r\"><outline text=\"two&#13;lines\"/></outline>")
            << u"IN: warning: category C1 \"two lines\": the title has a line break; written as a blank\n"_qs
            << record("C0", {}, "r", "False", {""})
                    + record("C1", "C0", "two lines", "False", {""});
    QTest::newRow("controls in a title shown escaped")
            << QByteArray("<outline text=\"&#x9b;2J caf\xc3\xa9\"/>")
            << u"IN: warning: category C0 \"\\x9b2J café\": code page 932 cannot hold U+009B "
               u"\"\\x9b\", "
               "U+00E9 \"é\"; written as \"?\"\n"_qs
            << record("C0", {}, "?2J caf?", "False", {""});
    QTest::newRow("a yen sign reads back as the backslash it is written as")
            << QByteArray("<outline text=\"\xc2\xa5 100\"/>")
            << u"IN: warning: category C0 \"¥ 100\": the text would read back otherwise, as \"\\ 100\"\n"_qs
            << record("C0", {}, "\\ 100", "False", {""});
}

void TestSvkImport::warnsAboutTextTheFileCannotHold()
{
    QFETCH(QByteArray, outlineElements);
    QFETCH(QString, expectedWarnings);
    QFETCH(QByteArray, expectedFile);
    const QString in = path(u"in.opml"_qs);
    QVERIFY(files::writeBytes(
            in, QByteArray("<opml version=\"2.0\"><body>" + outlineElements + "</body></opml>")));

    const SvkRun run = runSvk({u"import"_qs, in, u"-o"_qs, path(u"out.svk"_qs)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.err), QString(expectedWarnings).replace(u"IN:"_qs, in + u':'));
    QCOMPARE(files::bytesOf(path(u"out.svk"_qs)), expectedFile);
}

QTEST_GUILESS_MAIN(TestSvkImport)
#include "tst_svkimport.moc"
