#include "tests/cli/svkrunner.h"
#include "tests/support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace svktest;

// svk dump: each format of the worked example against a hand-written
// fixture, how text is escaped, and the deepest tree a file can hold.
class TestSvkDump : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void workedExampleMatchesFixture_data();
    void workedExampleMatchesFixture();
    void jsonKeepsEveryCharacter_data();
    void jsonKeepsEveryCharacter();
    void otherFormatsShowTextSafely_data();
    void otherFormatsShowTextSafely();
    void deepestChainIsWrittenWhole_data();
    void deepestChainIsWrittenWhole();
    void failedWriteExitsWithOne_data();
    void failedWriteExitsWithOne();

private:
    QString writeOutlineFile(const QByteArray &bytes,
                             const QString &name = QStringLiteral("o.svk"));
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSvkDump::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestSvkDump::writeOutlineFile(const QByteArray &bytes, const QString &name)
{
    const QString path = m_dir->filePath(name);
    if (!files::writeBytes(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestSvkDump::workedExampleMatchesFixture_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expectedFixture");

    QTest::newRow("json by default") << QStringList() << u"trip.json"_qs;
    QTest::newRow("json") << QStringList{u"--format"_qs, u"json"_qs} << u"trip.json"_qs;
    QTest::newRow("markdown") << QStringList{u"--format"_qs, u"markdown"_qs} << u"trip.md"_qs;
    QTest::newRow("opml") << QStringList{u"--format=opml"_qs} << u"trip.opml"_qs;
    QTest::newRow("text") << QStringList{u"-f"_qs, u"text"_qs} << u"trip.txt"_qs;
}

void TestSvkDump::workedExampleMatchesFixture()
{
    QFETCH(QStringList, options);
    QFETCH(QString, expectedFixture);
    const SvkRun run =
            runSvk(QStringList{u"dump"_qs} + options + QStringList{fixturePath(u"trip.svk"_qs)});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, files::bytesOf(fixturePath(expectedFixture)));
}

void TestSvkDump::jsonKeepsEveryCharacter_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("bodyLines"); // joined by CR LF in the file
    QTest::addColumn<QByteArray>("expectedTitle");
    QTest::addColumn<QByteArray>("expectedBody");

    QTest::newRow("quote and backslash")
            << QByteArray("say \"hi\" \\o/") << QByteArray("a\\b")
            << QByteArray(R"("say \"hi\" \\o/")") << QByteArray(R"("a\\b")");
    QTest::newRow("control characters")
            << QByteArray("tab\there\x01\x1f") << QByteArray("\x08\x0c")
            << QByteArray(R"("tab\there\u0001\u001f")") << QByteArray(R"("\b\f")");
    QTest::newRow("DEL and C1 controls")
            << QByteArray("del\x7f c1\x80") << QByteArray("\x7f")
            << QByteArray(R"("del\u007f c1\u0080")") << QByteArray(R"("\u007f")");
    QTest::newRow("lone LF stays inside a line")
            << QByteArray("a\nb") << QByteArray("c\nd") << QByteArray(R"("a\nb")")
            << QByteArray(R"("c\nd")");
    QTest::newRow("body lines joined by CR LF")
            << QByteArray("t") << QByteArray("one\r\n\r\nthree") << QByteArray(R"("t")")
            << QByteArray(R"("one\r\n\r\nthree")");
    QTest::newRow("Japanese as UTF-8")
            << QByteArray("\x97\xb7\x8d\x73") << QByteArray("\x83\x4a\x83\x81\x83\x89")
            << QByteArray("\"\xe6\x97\x85\xe8\xa1\x8c\"")
            << QByteArray("\"\xe3\x82\xab\xe3\x83\xa1\xe3\x83\xa9\"");
    QTest::newRow("half-width katakana and private use")
            << QByteArray("\xb1\xa0") << QByteArray("\xfd")
            << QByteArray("\"\xef\xbd\xb1\xef\xa3\xb0\"") << QByteArray("\"\xef\xa3\xb1\"");
    QTest::newRow("undecodable bytes as escapes")
            << QByteArray("A\x85\x40") << QByteArray("end\x82") << QByteArray(R"("A\udc85@")")
            << QByteArray(R"("end\udc82")");
}

void TestSvkDump::jsonKeepsEveryCharacter()
{
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, bodyLines);
    QFETCH(QByteArray, expectedTitle);
    QFETCH(QByteArray, expectedBody);
    const QByteArray bytes = record("C0", {}, title, "False", {bodyLines});
    const SvkRun run = runSvk({u"dump"_qs, writeOutlineFile(bytes)});
    QCOMPARE(run.exitCode, 0);
    const QByteArray expected =
            "{\n  \"keyCounter\": 1,\n  \"root\": {\n    \"key\": \"C0\",\n    \"title\": "
            + expectedTitle + ",\n    \"checked\": false,\n    \"image\": 2,\n    \"body\": "
            + expectedBody + ",\n    \"children\": []\n  }\n}\n";
    QCOMPARE(run.out, expected);
}

void TestSvkDump::otherFormatsShowTextSafely_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("bodyLines");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray replacement = "\xef\xbf\xbd";
    QTest::newRow("text: undecodable byte replaced")
            << u"text"_qs << QByteArray("A\x85\x40") << QByteArray() << "A" + replacement + "@\n";
    QTest::newRow("text: line break in a title becomes a blank")
            << u"text"_qs << QByteArray("two\nlines") << QByteArray() << QByteArray("two lines\n");
    QTest::newRow("markdown: blank body line stays blank, others indented")
            << u"markdown"_qs << QByteArray("t") << QByteArray("a\r\n\r\n b")
            << QByteArray("- [ ] t\n  a\n\n   b\n");
    QTest::newRow("markdown: undecodable byte replaced")
            << u"markdown"_qs << QByteArray("t") << QByteArray("x\x82")
            << "- [ ] t\n  x" + replacement + "\n";
    QTest::newRow("text: controls that would drive the terminal escaped")
            << u"text"_qs << QByteArray("\x1b]0;owned\x07\x1b[2J tab\tdel\x7f c1\x80")
            << QByteArray() << QByteArray("\\x1b]0;owned\\x07\\x1b[2J tab\tdel\\x7f c1\\x80\n");
    QTest::newRow("markdown: controls in title and body escaped, tab kept")
            << u"markdown"_qs << QByteArray("\x1b[2J") << QByteArray("\tx\x1b]0;owned\x07")
            << QByteArray("- [ ] \\x1b[2J\n  \tx\\x1b]0;owned\\x07\n");
    QTest::newRow("opml: markup escaped")
            << u"opml"_qs << QByteArray("<a & \"b\">") << QByteArray("x < y")
            << QByteArray("<outline text=\"&lt;a &amp; &quot;b&quot;&gt;\" _note=\"x &lt; y\"/>");
    QTest::newRow("opml: characters XML cannot hold replaced") << u"opml"_qs
                                                               << QByteArray("a\x01"
                                                                             "b\x85\x40")
                                                               << QByteArray("tab\there")
                                                               << "<outline text=\"a" + replacement
                    + "b" + replacement + "@\" _note=\"tab&#9;here\"/>";
}

void TestSvkDump::otherFormatsShowTextSafely()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, bodyLines);
    QFETCH(QByteArray, expected);
    const QByteArray bytes = record("C0", {}, title, "False", {bodyLines});
    const SvkRun run = runSvk({u"dump"_qs, u"--format"_qs, format, writeOutlineFile(bytes)});
    QCOMPARE(run.exitCode, 0);
    if (format == u"opml")
        QVERIFY2(run.out.contains(expected), run.out.constData());
    else
        QCOMPARE(run.out, expected);
}

void TestSvkDump::deepestChainIsWrittenWhole_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("deepestLine");
    QTest::addColumn<QByteArray>("ending");

    // C2048 at depth 2048: its members at level 2 + 2 * 2048.
    QTest::newRow("json") << u"json"_qs
                          << QByteArray(2 * (2 + 2 * 2048), ' ') + "\"key\": \"C2048\","
                          << QByteArray("\n    ]\n  }\n}\n");
    QTest::newRow("text") << u"text"_qs << QByteArray(2 * 2048, ' ') + "t2048"
                          << QByteArray("t2048\n");
    QTest::newRow("markdown") << u"markdown"_qs << QByteArray(2 * 2048, ' ') + "- [ ] t2048"
                              << QByteArray("t2048\n");
    QTest::newRow("opml") << u"opml"_qs
                          << QByteArray(2 * (2 + 2048), ' ') + "<outline text=\"t2048\"/>"
                          << QByteArray("  </body>\n</opml>\n");
}

void TestSvkDump::deepestChainIsWrittenWhole()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, deepestLine);
    QFETCH(QByteArray, ending);
    const SvkRun run = runSvk({u"dump"_qs, u"--format"_qs, format, writeOutlineFile(chain(2049))});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QByteArray("\n" + deepestLine + "\n")));
    QVERIFY(run.out.endsWith(ending));
    QCOMPARE(run.out.count("t2048"), 1);
    QCOMPARE(run.out.count("t0"), 1);
}

void TestSvkDump::failedWriteExitsWithOne_data()
{
    QTest::addColumn<QString>("format");

    for (const char *format : {"json", "markdown", "opml", "text"})
        QTest::newRow(format) << QString::fromLatin1(format);
}

// Far more than one stdio buffer, so that the failure comes before the last flush.
void TestSvkDump::failedWriteExitsWithOne()
{
    QFETCH(QString, format);
    const SvkRun run = runSvk({u"dump"_qs, u"--format"_qs, format, writeOutlineFile(chain(300))},
                              u"/dev/full"_qs);
    QCOMPARE(run.err,
             QByteArray("svk: cannot write to standard output: No space left on device\n"));
    QCOMPARE(run.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestSvkDump)
#include "tst_svkdump.moc"
