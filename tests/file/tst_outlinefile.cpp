// Data rows take concatenated bytes as values: with QStringBuilder they would
// hand QTest a builder where the column expects a QByteArray.
#undef QT_USE_QSTRINGBUILDER

#include "outlinetestsupport.h"

#include "file/filetitle.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace outlinetest;

Q_DECLARE_METATYPE(LoadError::Code)

namespace {

const char *codeName(LoadError::Code code)
{
    switch (code) {
    case LoadError::Code::CannotOpen: return "CannotOpen";
    case LoadError::Code::NotRegularFile: return "NotRegularFile";
    case LoadError::Code::ChangedWhileReading: return "ChangedWhileReading";
    case LoadError::Code::BadCheckedValue: return "BadCheckedValue";
    case LoadError::Code::DuplicateKey: return "DuplicateKey";
    case LoadError::Code::DuplicateKeyNumber: return "DuplicateKeyNumber";
    case LoadError::Code::BadKey: return "BadKey";
    case LoadError::Code::MissingParent: return "MissingParent";
    case LoadError::Code::UnknownParent: return "UnknownParent";
    case LoadError::Code::KeyNumberOutOfRange: return "KeyNumberOutOfRange";
    case LoadError::Code::NoRecord: return "NoRecord";
    }
    return "?";
}

QString errorText(const ReadResult &result)
{
    if (result.ok())
        return u"no error"_s;
    return QString::fromLatin1(codeName(result.error->code)) + u" at line "_s
            + QString::number(result.error->line) + u": "_s + result.error->message;
}

// The worked example of the format: a root with two children.
const QStringList workedExample = {
        uR"(C0 "Trip" img 2 open body "Leave on Friday.")"_s,
        uR"(C1 under C0 "Packing" img 3 body "Camera\r\nUmbrella")"_s,
        uR"(C2 under C0 "Tickets" checked img 6 body "")"_s,
};

const QByteArray bodyStart = "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=T\r\nSORVEKA_CHECKED=False\r\n"
                             "SORVEKA_DATA_CHECK_MARK\r\n";
const QByteArray bodyEnd = "SORVEKA_END_CHECK_MARK\r\n\r\n";

} // namespace

class TestOutlineFile : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleReads_data();
    void workedExampleReads();
    void workedExampleWrites();

    void readsBodies_data();
    void readsBodies();
    void writesBodies_data();
    void writesBodies();
    void readsHeaderLines_data();
    void readsHeaderLines();
    void readsCheckedValues_data();
    void readsCheckedValues();
    void setsKeyCounter_data();
    void setsKeyCounter();
    void setsImages_data();
    void setsImages();
    void keepsRecordOrderForSiblings();
    void keepsRecordsBeforeCutOff_data();
    void keepsRecordsBeforeCutOff();
    void readsLargeBodies_data();
    void readsLargeBodies();

    void reportsLoadErrors_data();
    void reportsLoadErrors();
    void readsFiles_data();
    void readsFiles();

    void japaneseFixtureRoundTrips();
    void lineEndsFixtureIsNormalised();
    void invalidBytesRoundTrip();
    void writesEmptyOutlineAsNothing();
    void writesTitleLineBreaksAsBlanks_data();
    void writesTitleLineBreaksAsBlanks();
    void findsUnstorableText_data();
    void findsUnstorableText();

    void comparesPrefixes_data();
    void comparesPrefixes();
    void takesFileTitle_data();
    void takesFileTitle();
};

void TestOutlineFile::workedExampleReads_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("from the file") << true;
    QTest::newRow("from bytes") << false;
}

void TestOutlineFile::workedExampleReads()
{
    QFETCH(bool, fromFile);
    const ReadResult result = fromFile ? readOutlineFile(fixturePath(u"worked_example.svk"_s))
                                       : readOutline(fixture(u"worked_example.svk"_s));
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(describe(result.outline), workedExample);
    QCOMPARE(treeOrder(result.outline), u"C0(C1 C2)"_s);
    QCOMPARE(result.outline.KeyCounter, 3);
}

void TestOutlineFile::workedExampleWrites()
{
    const QByteArray expected = fixture(u"worked_example.svk"_s);
    const Outline built = build({
            {u"C0"_s, {}, u"Trip"_s, false, u"Leave on Friday."_s},
            {u"C1"_s, u"C0"_s, u"Packing"_s, false, u"Camera\r\nUmbrella"_s},
            {u"C2"_s, u"C0"_s, u"Tickets"_s, true, {}},
    });
    QCOMPARE(writeOutline(built), expected);

    const ReadResult read = readOutline(expected);
    QVERIFY2(read.ok(), qPrintable(errorText(read)));
    QCOMPARE(writeOutline(read.outline), expected);
}

void TestOutlineFile::readsBodies_data()
{
    QTest::addColumn<QByteArray>("bodyLines"); // the bytes between the two marks
    QTest::addColumn<QString>("body");

    QTest::newRow("one line") << "Leave on Friday.\r\n"_ba << u"Leave on Friday."_s;
    QTest::newRow("several lines") << "a\r\nb\r\nc\r\n"_ba << u"a\r\nb\r\nc"_s;
    QTest::newRow("one empty line") << "\r\n"_ba << QString();
    QTest::newRow("no line at all") << QByteArray() << QString();
    QTest::newRow("ends in CR LF") << "a\r\n\r\n"_ba << u"a\r\n"_s;
    QTest::newRow("only line ends") << "\r\n\r\n\r\n"_ba << u"\r\n\r\n"_s;
    QTest::newRow("lone CR line ends") << "a\rb\r"_ba << u"a\r\nb"_s;
    QTest::newRow("lone CR then CR LF") << "a\r\r\n"_ba << u"a\r\n"_s;
    QTest::newRow("lone CR empty lines") << "\r\r"_ba << u"\r\n"_s;
    QTest::newRow("lone LF stays in its line") << "a\nb\r\n"_ba << u"a\nb"_s;
    QTest::newRow("LF at the start of a line") << "a\r\n\nb\r\n"_ba << u"a\r\n\nb"_s;
    QTest::newRow("keyword lines are body text")
            << "SORVEKA_KEY=C9\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_TITLE=x\r\n"_ba
            << u"SORVEKA_KEY=C9\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_TITLE=x"_s;
    QTest::newRow("end keyword not at the line start")
            << " SORVEKA_END_CHECK_MARK\r\nx SORVEKA_END_CHECK_MARK\r\n"_ba
            << u" SORVEKA_END_CHECK_MARK\r\nx SORVEKA_END_CHECK_MARK"_s;
    QTest::newRow("end keyword in lower case")
            << "sorveka_end_check_mark\r\n"_ba << u"sorveka_end_check_mark"_s;
    QTest::newRow("Japanese with 5C as second byte")
            << "\x97\x5c\x92\xe8\x95\x5c \x83\x5c\r\n\x87\x40\xb1\xb2\xb3\r\n"_ba
            << u"予定表 ソ\r\n①ｱｲｳ"_s;
    QTest::newRow("tabs and trailing blanks") << "\ta \t\r\n  \r\n"_ba << u"\ta \t\r\n  "_s;
}

void TestOutlineFile::readsBodies()
{
    QFETCH(QByteArray, bodyLines);
    QFETCH(QString, body);
    const ReadResult result = readOutline(bodyStart + bodyLines + bodyEnd);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(result.outline.count(), 1);
    QCOMPARE(result.outline.TextData[0], body);
}

void TestOutlineFile::writesBodies_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("bodyLines");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("one line") << u"x"_s << "x\r\n"_ba << u"x"_s;
    QTest::newRow("several lines") << u"a\r\nb\r\nc"_s << "a\r\nb\r\nc\r\n"_ba << u"a\r\nb\r\nc"_s;
    QTest::newRow("empty") << QString() << "\r\n"_ba << QString();
    QTest::newRow("ends in CR LF") << u"a\r\n"_s << "a\r\n\r\n"_ba << u"a\r\n"_s;
    QTest::newRow("only CR LF") << u"\r\n"_s << "\r\n\r\n"_ba << u"\r\n"_s;
    QTest::newRow("lone LF") << u"a\nb"_s << "a\nb\r\n"_ba << u"a\nb"_s;
    QTest::newRow("keyword lines") << u"SORVEKA_KEY=C5\r\nSORVEKA_PARENT=C0"_s
                                   << "SORVEKA_KEY=C5\r\nSORVEKA_PARENT=C0\r\n"_ba
                                   << u"SORVEKA_KEY=C5\r\nSORVEKA_PARENT=C0"_s;
    QTest::newRow("Japanese") << u"カメラ\r\n傘"_s << "\x83\x4a\x83\x81\x83\x89\r\n\x8e\x50\r\n"_ba
                              << u"カメラ\r\n傘"_s;
    // A lone CR is a line end in the file, so it comes back as CR LF.
    QTest::newRow("lone CR") << u"a\rb"_s << "a\rb\r\n"_ba << u"a\r\nb"_s;
}

void TestOutlineFile::writesBodies()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, bodyLines);
    QFETCH(QString, readBack);
    const Outline outline = build({{u"C0"_s, {}, u"T"_s, false, body}});
    const QByteArray written = writeOutline(outline);
    QCOMPARE(written, bodyStart + bodyLines + bodyEnd);

    const ReadResult result = readOutline(written);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(result.outline.TextData[0], readBack);
}

void TestOutlineFile::readsHeaderLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("keyword lines in any order")
            << crlfLines({"SORVEKA_CHECKED=True", "SORVEKA_TITLE=Root", "SORVEKA_KEY=C0",
                          "SORVEKA_DATA_CHECK_MARK", "r", "SORVEKA_END_CHECK_MARK",
                          "SORVEKA_TITLE=Child", "SORVEKA_PARENT=C0", "SORVEKA_CHECKED=False",
                          "SORVEKA_KEY=C1", "SORVEKA_DATA_CHECK_MARK", "c",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "Root" checked img 5 open body "r")"_s,
                           uR"(C1 under C0 "Child" img 3 body "c")"_s};
    QTest::newRow("no title and no check line")
            << crlfLines(
                       {"SORVEKA_KEY=C0", "SORVEKA_DATA_CHECK_MARK", "", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "名前付けてね" img 2 open body "")"_s};
    QTest::newRow("title and mark reset after each record")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=Root", "SORVEKA_CHECKED=True",
                          "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK", "SORVEKA_KEY=C1",
                          "SORVEKA_PARENT=C0", "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "Root" checked img 5 open body "")"_s,
                           uR"(C1 under C0 "名前付けてね" img 3 body "")"_s};
    QTest::newRow("= inside the title")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=a=b = c=", "SORVEKA_DATA_CHECK_MARK",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "a=b = c=" img 2 open body "")"_s};
    QTest::newRow("blanks around the title kept")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=  a  ", "SORVEKA_DATA_CHECK_MARK",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "  a  " img 2 open body "")"_s};
    QTest::newRow("character after the keyword skipped whatever it is")
            << crlfLines({"SORVEKA_KEY:C0", "SORVEKA_TITLE Root", "SORVEKA_CHECKEDxTrue",
                          "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK", "SORVEKA_KEY=C1",
                          "SORVEKA_PARENT#C0", "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "Root" checked img 5 open body "")"_s,
                           uR"(C1 under C0 "名前付けてね" img 3 body "")"_s};
    QTest::newRow("keyword without a value")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE", "SORVEKA_DATA_CHECK_MARK",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "" img 2 open body "")"_s};
    QTest::newRow("a keyword twice counts with its last value")
            << crlfLines({"SORVEKA_KEY=C5", "SORVEKA_TITLE=first", "SORVEKA_CHECKED=True",
                          "SORVEKA_KEY=C0", "SORVEKA_TITLE=second", "SORVEKA_CHECKED=False",
                          "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "second" img 2 open body "")"_s};
    QTest::newRow("blank and junk lines skipped")
            << crlfLines({"",
                          "junk",
                          "SORVEKA_KEY=C0",
                          "",
                          " SORVEKA_TITLE=indented",
                          "sorveka_title=lower case",
                          "SORVEKA_TITLE=Root",
                          "x=y",
                          "SORVEKA_END_CHECK_MARK",
                          "SORVEKA_DATA_CHECK_MARK",
                          "body",
                          "SORVEKA_END_CHECK_MARK",
                          "",
                          "",
                          "more junk",
                          "",
                          "SORVEKA_KEY=C1",
                          "SORVEKA_PARENT=C0",
                          "SORVEKA_DATA_CHECK_MARK",
                          "SORVEKA_END_CHECK_MARK",
                          "",
                          "trailing junk"})
            << QStringList{uR"(C0 "Root" img 2 open body "body")"_s,
                           uR"(C1 under C0 "名前付けてね" img 3 body "")"_s};
    QTest::newRow("parent line of the first record ignored")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_PARENT=C9", "SORVEKA_DATA_CHECK_MARK",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "名前付けてね" img 2 open body "")"_s};
    QTest::newRow("end keyword ends a body early")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_DATA_CHECK_MARK", "first",
                          "SORVEKA_END_CHECK_MARK and more", "rest of the body",
                          "SORVEKA_END_CHECK_MARK", "", "SORVEKA_KEY=C1", "SORVEKA_PARENT=C0",
                          "SORVEKA_TITLE=next", "SORVEKA_DATA_CHECK_MARK", "n",
                          "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "名前付けてね" img 2 open body "first")"_s,
                           uR"(C1 under C0 "next" img 3 body "n")"_s};
    QTest::newRow("rest of an early-ended body read as header lines")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_DATA_CHECK_MARK", "x",
                          "SORVEKA_END_CHECK_MARK early", "SORVEKA_TITLE=from the body",
                          "SORVEKA_END_CHECK_MARK", "SORVEKA_KEY=C1", "SORVEKA_PARENT=C0",
                          "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "名前付けてね" img 2 open body "x")"_s,
                           uR"(C1 under C0 "from the body" img 3 body "")"_s};
    QTest::newRow("Japanese title")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=\x97\xb7\x8d\x73=\x83\x5c",
                          "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << QStringList{uR"(C0 "旅行=ソ" img 2 open body "")"_s};
    QTest::newRow("last line without a line end")
            << "SORVEKA_KEY=C0\r\nSORVEKA_DATA_CHECK_MARK\r\nx\r\nSORVEKA_END_CHECK_MARK"_ba
            << QStringList{uR"(C0 "名前付けてね" img 2 open body "x")"_s};
}

void TestOutlineFile::readsHeaderLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(describe(result.outline), expected);
}

void TestOutlineFile::readsCheckedValues_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("checked");

    QTest::newRow("True") << "True"_ba << true;
    QTest::newRow("False") << "False"_ba << false;
    QTest::newRow("true") << "true"_ba << true;
    QTest::newRow("TRUE") << "TRUE"_ba << true;
    QTest::newRow("tRuE") << "tRuE"_ba << true;
    QTest::newRow("false") << "false"_ba << false;
    QTest::newRow("FALSE") << "FALSE"_ba << false;
    QTest::newRow("-1") << "-1"_ba << true;
    QTest::newRow("1") << "1"_ba << true;
    QTest::newRow("0") << "0"_ba << false;
    QTest::newRow("1.5") << "1.5"_ba << true;
    QTest::newRow("0.0") << "0.0"_ba << false;
    QTest::newRow("-0") << "-0"_ba << false;
    QTest::newRow("0.001") << "0.001"_ba << true;
}

void TestOutlineFile::readsCheckedValues()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, checked);
    const ReadResult result = readOutline(crlfLines(
            {"SORVEKA_KEY=C0", "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK",
             "SORVEKA_KEY=C1", "SORVEKA_PARENT=C0", QByteArray("SORVEKA_CHECKED=" + value),
             "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"}));
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    const Category *child = result.outline.item(u"C1"_s);
    QVERIFY(child);
    QCOMPARE(child->checked(), checked);
    QCOMPARE(child->image(), checked ? 6 : 3);
}

void TestOutlineFile::setsKeyCounter_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("keyCounter");
    QTest::addColumn<int>("lastKeyNumber"); // slot holding the last record's body

    QTest::newRow("root only") << record("C0") << QStringList{u"C0"_s} << 1 << 0;
    QTest::newRow("C0 C5 C1") << record("C0") + record("C5", "C0") + record("C1", "C0")
                              << QStringList{u"C0"_s, u"C5"_s, u"C1"_s} << 6 << 1;
    QTest::newRow("C2048 loads") << record("C0") + record("C2048", "C0")
                                 << QStringList{u"C0"_s, u"C2048"_s} << 2049 << 2048;
    QTest::newRow("root C3 with a child C0")
            << record("C3") + record("C0", "C3") << QStringList{u"C3"_s, u"C0"_s} << 4 << 0;
    QTest::newRow("leading zeros")
            << record("C0") + record("C012", "C0") << QStringList{u"C0"_s, u"C012"_s} << 13 << 12;
    QTest::newRow("any first letter")
            << record("C0") + record("X9", "C0") << QStringList{u"C0"_s, u"X9"_s} << 10 << 9;
    QTest::newRow("gaps") << record("C0") + record("C7", "C0") + record("C3", "C7")
                          << QStringList{u"C0"_s, u"C7"_s, u"C3"_s} << 8 << 3;
}

void TestOutlineFile::setsKeyCounter()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, keys);
    QFETCH(int, keyCounter);
    QFETCH(int, lastKeyNumber);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(collectionOrder(result.outline), keys.join(u' '));
    QCOMPARE(result.outline.KeyCounter, keyCounter);
    QCOMPARE(result.outline.TextData[size_t(lastKeyNumber)], u"b"_s + keys.last());
}

void TestOutlineFile::setsImages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("children of C0 leave the root open")
            << record("C0") + record("C1", "C0") + record("C2", "C0", "True")
            << QStringList{uR"(C0 "tC0" img 2 open body "bC0")"_s,
                           uR"(C1 under C0 "tC1" img 3 body "bC1")"_s,
                           uR"(C2 under C0 "tC2" checked img 6 body "bC2")"_s};
    QTest::newRow("checked root") << record("C0", {}, "True") + record("C1", "C0")
                                  << QStringList{uR"(C0 "tC0" checked img 5 open body "bC0")"_s,
                                                 uR"(C1 under C0 "tC1" img 3 body "bC1")"_s};
    QTest::newRow("parent below the root shows a closed folder")
            << record("C0") + record("C1", "C0") + record("C2", "C1")
            << QStringList{uR"(C0 "tC0" img 2 open body "bC0")"_s,
                           uR"(C1 under C0 "tC1" img 1 body "bC1")"_s,
                           uR"(C2 under C1 "tC2" img 3 body "bC2")"_s};
    QTest::newRow("checked parent below the root")
            << record("C0") + record("C1", "C0", "True") + record("C2", "C1", "True")
            << QStringList{uR"(C0 "tC0" img 2 open body "bC0")"_s,
                           uR"(C1 under C0 "tC1" checked img 4 body "bC1")"_s,
                           uR"(C2 under C1 "tC2" checked img 6 body "bC2")"_s};
    QTest::newRow("marks not recomputed")
            << record("C0", {}, "True") + record("C1", "C0") + record("C2", "C1", "True")
                    + record("C3", "C1", "True")
            << QStringList{uR"(C0 "tC0" checked img 5 open body "bC0")"_s,
                           uR"(C1 under C0 "tC1" img 1 body "bC1")"_s,
                           uR"(C2 under C1 "tC2" checked img 6 body "bC2")"_s,
                           uR"(C3 under C1 "tC3" checked img 6 body "bC3")"_s};
    QTest::newRow("root not keyed C0 shows a closed folder")
            << record("C5", {}, "True") + record("C1", "C5")
            << QStringList{uR"(C5 "tC5" checked img 4 open body "bC5")"_s,
                           uR"(C1 under C5 "tC1" img 3 body "bC1")"_s};
    QTest::newRow("C0 below another root keeps its own image")
            << record("C5") + record("C0", "C5") + record("C1", "C0")
            << QStringList{uR"(C5 "tC5" img 1 open body "bC5")"_s,
                           uR"(C0 under C5 "tC0" img 3 body "bC0")"_s,
                           uR"(C1 under C0 "tC1" img 3 body "bC1")"_s};
    QTest::newRow("root without children")
            << record("C0") << QStringList{uR"(C0 "tC0" img 2 open body "bC0")"_s};
}

void TestOutlineFile::setsImages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(describe(result.outline), expected);
}

void TestOutlineFile::keepsRecordOrderForSiblings()
{
    // C3 was put in front of its older sibling C1, which has a child C2:
    // records leave collection order just enough for it to come back first.
    Outline outline = build({{u"C0"_s, {}, u"r"_s, false, {}},
                             {u"C1"_s, u"C0"_s, u"old"_s, false, {}},
                             {u"C2"_s, u"C1"_s, u"below old"_s, false, {}}});
    QVERIFY(outline.addPrevious(outline.item(u"C1"_s), u"C3"_s, u"new"_s));
    QCOMPARE(treeOrder(outline), u"C0(C3 C1(C2))"_s);

    const QByteArray written = writeOutline(outline);
    const ReadResult result = readOutline(written);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(collectionOrder(result.outline), u"C0 C3 C1 C2"_s);
    QCOMPARE(treeOrder(result.outline), u"C0(C3 C1(C2))"_s);
    QCOMPARE(writeOutline(result.outline), written);
}

void TestOutlineFile::keepsRecordsBeforeCutOff_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("keys");

    const QByteArray two = record("C0") + record("C1", "C0");
    QTest::newRow("inside a body") << two
                    + "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C0\r\n"
                      "SORVEKA_DATA_CHECK_MARK\r\nhalf a li"
                                   << QStringList{u"C0"_s, u"C1"_s};
    QTest::newRow("right after the body mark")
            << two + "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C0\r\nSORVEKA_DATA_CHECK_MARK\r\n"
            << QStringList{u"C0"_s, u"C1"_s};
    QTest::newRow("after keyword lines") << two + "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C0\r\n"
                                         << QStringList{u"C0"_s, u"C1"_s};
    QTest::newRow("inside the end mark") << two
                    + "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C0\r\nSORVEKA_DATA_CHECK_MARK\r\n"
                      "x\r\nSORVEKA_END_CHECK_MA"
                                         << QStringList{u"C0"_s, u"C1"_s};
    QTest::newRow("record that would fail") << two + "SORVEKA_KEY=C1\r\nSORVEKA_PARENT=C99\r\n"
                                            << QStringList{u"C0"_s, u"C1"_s};
}

void TestOutlineFile::keepsRecordsBeforeCutOff()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, keys);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(collectionOrder(result.outline), keys.join(u' '));
    QCOMPARE(result.outline.KeyCounter, 2);
    QVERIFY(result.outline.root()->expanded());
}

void TestOutlineFile::readsLargeBodies_data()
{
    QTest::addColumn<QByteArray>("lineEnd");

    QTest::newRow("CR LF") << "\r\n"_ba;
    QTest::newRow("lone CR") << "\r"_ba;
    QTest::newRow("lone LF inside one line") << "\n"_ba;
}

void TestOutlineFile::readsLargeBodies()
{
    QFETCH(QByteArray, lineEnd);
    // 160,000 lines, about 2 MB, each ending as the row says. That the time
    // grows only linearly with the body is measured by bench_core's
    // readScaling, not asserted here: a test never races the clock.
    constexpr int lines = 160000;
    QByteArray bytes = "SORVEKA_KEY=C0\r\nSORVEKA_DATA_CHECK_MARK\r\n";
    bytes.reserve(lines * 16);
    for (int i = 0; i < lines; ++i)
        bytes += "line of text" + lineEnd;
    bytes += "\r\nSORVEKA_END_CHECK_MARK\r\n";

    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    const QString &body = result.outline.TextData[0];
    const QString expectedEnd = lineEnd == "\n"_ba ? u"\n"_s : u"\r\n"_s;
    QCOMPARE(body.size(), lines * (12 + expectedEnd.size()));
    QVERIFY(body.endsWith(u"line of text"_s + expectedEnd));
    QCOMPARE(body.count(expectedEnd), lines);
}

void TestOutlineFile::reportsLoadErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadError::Code>("code");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("completed");
    QTest::addColumn<int>("keyCounter");
    QTest::addColumn<QString>("message"); // checked when given

    using C = LoadError::Code;
    const QByteArray root = record("C0"); // lines 1..7, end mark on 6
    const QByteArray two = root + record("C1", "C0"); // lines 8..15, end mark on 14
    const QStringList none;
    const QStringList c0{u"C0"_s};
    const QStringList c0c1{u"C0"_s, u"C1"_s};

    QTest::newRow("empty check value")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=t", "SORVEKA_CHECKED="})
            << C::BadCheckedValue << 3 << none << 0 << QString();
    QTest::newRow("check value abc") << root + "SORVEKA_KEY=C1\r\nSORVEKA_CHECKED=abc\r\n"
                                     << C::BadCheckedValue << 9 << c0 << 1 << QString();
    QTest::newRow("check value yes") << root + "\r\n\r\nSORVEKA_CHECKED=yes\r\n"
                                     << C::BadCheckedValue << 10 << c0 << 1 << QString();
    QTest::newRow("check value Truely") << two + "SORVEKA_CHECKED=Truely\r\n"
                                        << C::BadCheckedValue << 16 << c0c1 << 2 << QString();
    QTest::newRow("check value inf")
            << "SORVEKA_CHECKED=inf\r\n"_ba << C::BadCheckedValue << 1 << none << 0 << QString();
    QTest::newRow("check value with lone CR ends")
            << "SORVEKA_KEY=C0\rSORVEKA_CHECKED=x\r"_ba << C::BadCheckedValue << 2 << none << 0
            << QString();

    QTest::newRow("key C") << record("C") << C::BadKey << 6 << none << 0 << QString();
    QTest::newRow("key C1a") << root + record("C1a", "C0") << C::BadKey << 14 << c0 << 1
                             << QString();
    QTest::newRow("key C-1") << root + record("C-1", "C0") << C::BadKey << 14 << c0 << 1
                             << QString();
    QTest::newRow("key C 1") << root + record("C 1", "C0") << C::BadKey << 14 << c0 << 1
                             << QString();
    QTest::newRow("key C+1") << root + record("C+1", "C0") << C::BadKey << 14 << c0 << 1
                             << QString();
    QTest::newRow("key with full-width digit")
            << root + record("C\x82\x50", "C0") << C::BadKey << 14 << c0 << 1 << QString();
    QTest::newRow("empty key") << record("") << C::BadKey << 6 << none << 0 << QString();
    QTest::newRow("no key line in the first record")
            << crlfLines({"SORVEKA_TITLE=t", "SORVEKA_DATA_CHECK_MARK", "SORVEKA_END_CHECK_MARK"})
            << C::BadKey << 3 << none << 0 << QString();

    QTest::newRow("C7 then C007") << root + record("C7", "C0") + record("C007", "C0")
                                  << C::DuplicateKeyNumber << 22 << QStringList{u"C0"_s, u"C7"_s}
                                  << 8 << QString();
    QTest::newRow("C7 then X7") << root + record("C7", "C0") + record("X7", "C0")
                                << C::DuplicateKeyNumber << 22 << QStringList{u"C0"_s, u"C7"_s} << 8
                                << QString();
    QTest::newRow("C0 then C00") << root + record("C00", "C0") << C::DuplicateKeyNumber << 14 << c0
                                 << 1 << QString();

    QTest::newRow("same key twice")
            << two + record("C1", "C0") << C::DuplicateKey << 22 << c0c1 << 2 << QString();
    QTest::newRow("root key again")
            << root + record("C0", "C0") << C::DuplicateKey << 14 << c0 << 1 << QString();
    QTest::newRow("record without a key line takes the previous key")
            << two
                    + crlfLines({"SORVEKA_PARENT=C0", "SORVEKA_TITLE=t", "SORVEKA_DATA_CHECK_MARK",
                                 "SORVEKA_END_CHECK_MARK"})
            << C::DuplicateKey << 19 << c0c1 << 2 << QString();

    QTest::newRow("no parent line")
            << root + record("C1") << C::MissingParent << 13 << c0 << 1 << QString();
    QTest::newRow("empty parent") << root
                    + crlfLines({"SORVEKA_KEY=C1", "SORVEKA_PARENT=", "SORVEKA_DATA_CHECK_MARK",
                                 "SORVEKA_END_CHECK_MARK"})
                                  << C::MissingParent << 11 << c0 << 1 << QString();
    QTest::newRow("parent line not carried over")
            << two + record("C2") << C::MissingParent << 21 << c0c1 << 2 << QString();
    QTest::newRow("unknown parent") << root + record("C1", "C9") << C::UnknownParent << 14 << c0
                                    << 1 << uR"(unknown parent key "C9")"_s;
    QTest::newRow("parent read later")
            << root + record("C1", "C2") + record("C2", "C0") << C::UnknownParent << 14 << c0 << 1
            << uR"(unknown parent key "C2")"_s;
    QTest::newRow("parent in another letter case")
            << two + record("C2", "c1") << C::UnknownParent << 22 << c0c1 << 2 << QString();

    QTest::newRow("C2049") << root + record("C2049", "C0") << C::KeyNumberOutOfRange << 14 << c0
                           << 1 << QString();
    QTest::newRow("root C2049") << record("C2049") << C::KeyNumberOutOfRange << 6 << none << 0
                                << QString();
    QTest::newRow("twenty digits") << two + record("C12345678901234567890", "C1")
                                   << C::KeyNumberOutOfRange << 22 << c0c1 << 2 << QString();

    QTest::newRow("empty file") << QByteArray() << C::NoRecord << 1 << none << 0 << QString();
    QTest::newRow("plain text") << "Shopping list\r\nCamera\r\nUmbrella\r\n"_ba << C::NoRecord << 3
                                << none << 0 << QString();
    QTest::newRow("blank lines only")
            << "\r\n\r\n"_ba << C::NoRecord << 2 << none << 0 << QString();
    QTest::newRow("keyword lines only") << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=t"})
                                        << C::NoRecord << 2 << none << 0 << QString();
    QTest::newRow("body never ended")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_DATA_CHECK_MARK", "a", "b"}) << C::NoRecord
            << 4 << none << 0 << QString();
    QTest::newRow("end mark without body mark")
            << crlfLines({"SORVEKA_KEY=C0", "SORVEKA_END_CHECK_MARK"}) << C::NoRecord << 2 << none
            << 0 << QString();
}

void TestOutlineFile::reportsLoadErrors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(LoadError::Code, code);
    QFETCH(int, line);
    QFETCH(QStringList, completed);
    QFETCH(int, keyCounter);
    QFETCH(QString, message);

    const ReadResult result = readOutline(bytes);
    QVERIFY2(!result.ok(), "the read should have failed");
    QCOMPARE(codeName(result.error->code), codeName(code));
    QCOMPARE(result.error->line, line);
    QVERIFY(!result.error->message.isEmpty());
    QCOMPARE(collectionOrder(result.outline), completed.join(u' '));
    QCOMPARE(result.outline.KeyCounter, keyCounter);
    for (int i = 1; i <= result.outline.count(); ++i) {
        const Category *c = result.outline.item(i);
        QCOMPARE(result.outline.TextData[size_t(c->keyNumber())], u"b"_s + c->key());
    }
    if (!message.isEmpty())
        QCOMPARE(result.error->message, message);
}

void TestOutlineFile::readsFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<LoadError::Code>("code");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("count");

    using C = LoadError::Code;
    QTest::newRow("worked example")
            << fixturePath(u"worked_example.svk"_s) << true << C{} << 0 << 3;
    QTest::newRow("Japanese file name") << fixturePath(u"旅行メモ.svk"_s) << true << C{} << 0 << 4;
    QTest::newRow("cut off") << fixturePath(u"cut_off.svk"_s) << true << C{} << 0 << 2;
    QTest::newRow("lone CR line ends") << fixturePath(u"line_ends.svk"_s) << true << C{} << 0 << 2;
    QTest::newRow("empty file") << fixturePath(u"empty.svk"_s) << false << C::NoRecord << 1 << 0;
    QTest::newRow("plain text file")
            << fixturePath(u"plain_text.txt"_s) << false << C::NoRecord << 3 << 0;
    QTest::newRow("missing file") << fixturePath(u"no such file.svk"_s) << false << C::CannotOpen
                                  << 0 << 0;
    QTest::newRow("a folder") << fixturePath(QString()) << false << C::NotRegularFile << 0 << 0;
}

void TestOutlineFile::readsFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(LoadError::Code, code);
    QFETCH(int, line);
    QFETCH(int, count);

    const ReadResult result = readOutlineFile(path);
    QCOMPARE(result.ok(), ok);
    QCOMPARE(result.outline.count(), count);
    if (ok)
        return;
    QCOMPARE(codeName(result.error->code), codeName(code));
    QCOMPARE(result.error->line, line);
    QVERIFY(!result.error->message.isEmpty());
    // Only a refusal by the system carries its errno.
    QCOMPARE(result.error->systemError != 0, code == LoadError::Code::CannotOpen);
}

void TestOutlineFile::japaneseFixtureRoundTrips()
{
    const QByteArray bytes = fixture(u"旅行メモ.svk"_s);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(describe(result.outline),
             (QStringList{uR"(C0 "旅行" img 2 open body "金曜日に出発。")"_s,
                          uR"(C1 under C0 "荷造り" img 1 body "カメラ\r\n傘")"_s,
                          uR"(C2 under C0 "切符" checked img 6 body "")"_s,
                          uR"(C3 under C1 "予定表=ソ" img 3 body "①ｱｲｳ\r\n予定表 ソ=x")"_s}));
    QCOMPARE(result.outline.KeyCounter, 4);
    QCOMPARE(writeOutline(result.outline), bytes);
    QVERIFY(findUnstorableText(result.outline).isEmpty());
}

void TestOutlineFile::lineEndsFixtureIsNormalised()
{
    const ReadResult result = readOutline(fixture(u"line_ends.svk"_s));
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(describe(result.outline),
             (QStringList{uR"(C0 "Trip" img 2 open body "one\r\ntwo\nstill two")"_s,
                          uR"(C4 under C0 "Second" checked img 6 body "")"_s}));
    QCOMPARE(result.outline.KeyCounter, 5);
    QCOMPARE(writeOutline(result.outline),
             crlfLines({"SORVEKA_KEY=C0", "SORVEKA_TITLE=Trip", "SORVEKA_CHECKED=False",
                        "SORVEKA_DATA_CHECK_MARK", "one", "two\nstill two",
                        "SORVEKA_END_CHECK_MARK", "", "SORVEKA_KEY=C4", "SORVEKA_PARENT=C0",
                        "SORVEKA_TITLE=Second", "SORVEKA_CHECKED=True", "SORVEKA_DATA_CHECK_MARK",
                        "", "SORVEKA_END_CHECK_MARK", ""}));
}

void TestOutlineFile::invalidBytesRoundTrip()
{
    const QByteArray bytes = fixture(u"invalid_bytes.svk"_s);
    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    // Each byte that is no text becomes U+DC00 plus the byte.
    QCOMPARE(result.outline.item(1)->title(), u"A\xDC85@B"_s);
    QCOMPARE(result.outline.TextData[0], u"x\xDC81 y\r\nend\xDC82"_s);
    QCOMPARE(result.outline.item(2)->title(), u"\xDC81\x7F旅行"_s);
    QCOMPARE(result.outline.TextData[1], u"\xDCEB@カメラ"_s);
    QCOMPARE(writeOutline(result.outline), bytes);
    QVERIFY(findUnstorableText(result.outline).isEmpty());
}

void TestOutlineFile::writesEmptyOutlineAsNothing()
{
    const Outline empty;
    QCOMPARE(writeOutline(empty), QByteArray());
    QVERIFY(findUnstorableText(empty).isEmpty());
    const ReadResult result = readOutline(writeOutline(empty));
    QVERIFY(!result.ok());
    QCOMPARE(codeName(result.error->code), "NoRecord");
}

void TestOutlineFile::writesTitleLineBreaksAsBlanks_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("written");

    // Only a CR ends a line; a lone LF is part of it and stays.
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a \nb"_s;
    QTest::newRow("LF") << u"a\nb"_s << u"a\nb"_s;
    QTest::newRow("CR") << u"a\rb"_s << u"a b"_s;
    QTest::newRow("LF CR") << u"a\n\rb"_s << u"a\n b"_s;
    QTest::newRow("trailing CR LF") << u"a\r\n"_s << u"a \n"_s;
    QTest::newRow("injected records")
            << u"x\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_CHECK_MARK\r\n\r\nSORVEKA_KEY=C9\r\n"
               u"SORVEKA_PARENT=C0\nSORVEKA_DATA_CHECK_MARK\rSORVEKA_END_CHECK_MARK"_s
            << u"x \nSORVEKA_DATA_CHECK_MARK \nSORVEKA_END_CHECK_MARK \n \nSORVEKA_KEY=C9 \n"
               u"SORVEKA_PARENT=C0\nSORVEKA_DATA_CHECK_MARK SORVEKA_END_CHECK_MARK"_s;
}

void TestOutlineFile::writesTitleLineBreaksAsBlanks()
{
    QFETCH(QString, title);
    QFETCH(QString, written);
    const Outline outline =
            build({{u"C0"_s, {}, u"r"_s, false, {}}, {u"C1"_s, u"C0"_s, title, false, u"body"_s}});
    const QByteArray bytes = writeOutline(outline);
    QVERIFY(bytes.contains(QByteArray("\r\nSORVEKA_TITLE=" + written.toLatin1() + "\r\n")));
    // Seven lines for the root, eight for the child, every one ended by CR LF.
    QCOMPARE(bytes.count("\r\n"), 15);
    QCOMPARE(bytes.count('\r'), 15);
    QCOMPARE(bytes.count('\n'), 15 + written.count(u'\n'));

    const ReadResult result = readOutline(bytes);
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    QCOMPARE(collectionOrder(result.outline), u"C0 C1"_s);
    QCOMPARE(result.outline.item(2)->title(), written);
    QCOMPARE(result.outline.TextData[1], u"body"_s);
}

void TestOutlineFile::findsUnstorableText_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("characters"); // expected, in order of first appearance
    QTest::addColumn<bool>("titleLineBreak");
    QTest::addColumn<bool>("endMarkLine");
    QTest::addColumn<QStringList>("readsBackAs"); // title first, then body

    const QString none;
    const QStringList noChange;
    QTest::newRow("ASCII") << u"Trip = 3 days"_s << u"a\r\nb"_s << none << false << false
                           << noChange;
    QTest::newRow("Japanese and code page extras")
            << u"旅行①ｱｲｳ"_s << u"表ソ\r\n㈱≒∵"_s << none << false << false << noChange;
    QTest::newRow("escaped bytes")
            << u"A\xDC85@"_s << u"x\xDC81 y"_s << none << false << false << noChange;
    QTest::newRow("emoji in the title")
            << u"a😀b"_s << QString() << u"😀"_s << false << false << noChange;
    QTest::newRow("Hangul in the body")
            << u"t"_s << u"한글"_s << u"한글"_s << false << false << noChange;
    QTest::newRow("same character in title and body")
            << u"é😀"_s << u"😀xé€"_s << u"é😀€"_s << false << false << noChange;
    // A lone LF does not end a line: it is stored as it is.
    QTest::newRow("title with LF") << u"a\nb"_s << QString() << none << false << false << noChange;
    QTest::newRow("title with CR LF")
            << u"a\r\nb"_s << QString() << none << true << false << noChange;
    QTest::newRow("title with CR") << u"a\r"_s << QString() << none << true << false << noChange;
    QTest::newRow("body starts with the end mark")
            << u"t"_s << u"SORVEKA_END_CHECK_MARK"_s << none << false << true << noChange;
    QTest::newRow("end mark after CR LF")
            << u"t"_s << u"a\r\nSORVEKA_END_CHECK_MARK!"_s << none << false << true << noChange;
    QTest::newRow("end mark after lone CR") << u"t"_s << u"a\rSORVEKA_END_CHECK_MARK"_s << none
                                            << false << true << QStringList{u"a\r\nSORVEKA"_s};
    QTest::newRow("end mark after lone LF")
            << u"t"_s << u"a\nSORVEKA_END_CHECK_MARK"_s << none << false << false << noChange;
    QTest::newRow("end mark inside a line")
            << u"t"_s << u"a SORVEKA_END_CHECK_MARK\r\n SORVEKA_END_CHECK_MARK"_s << none << false
            << false << noChange;
    QTest::newRow("end mark in the title")
            << u"SORVEKA_END_CHECK_MARK"_s << u"SORVEKA_DATA_CHECK_MARK"_s << none << false << false
            << noChange;
    QTest::newRow("everything at once") << u"😀\r\n"_s << u"x\r\nSORVEKA_END_CHECK_MARK한"_s
                                        << u"😀한"_s << true << true << noChange;
    // A byte kept from the file as it was (0x81, a lead byte) would join the
    // "A" typed after it into "、".
    QTest::newRow("kept lead byte before typed text")
            << u"t"_s
            << u"Note\xDC81"
               "ABC"_s
            << none << false << false << QStringList{u"Note、BC"_s};
    QTest::newRow("kept lead byte in the title")
            << u"\xDC82\xDC9F!"_s << QString() << none << false << false << QStringList{u"ぁ!"_s};
    QTest::newRow("lone CR in the body")
            << u"t"_s << u"a\rb"_s << none << false << false << QStringList{u"a\r\nb"_s};
    // Code page 932 writes U+301C with the code of its look-alike U+FF5E.
    QTest::newRow("character read back as a look-alike")
            << u"t"_s << u"10〜20"_s << none << false << false << QStringList{u"10～20"_s};
    QTest::newRow("title and body each named") << u"\xDC82\xDC9F"_s << u"¥100"_s << none << false
                                               << false << QStringList{u"ぁ"_s, u"\\100"_s};
}

void TestOutlineFile::findsUnstorableText()
{
    QFETCH(QString, title);
    QFETCH(QString, body);
    QFETCH(QString, characters);
    QFETCH(bool, titleLineBreak);
    QFETCH(bool, endMarkLine);
    QFETCH(QStringList, readsBackAs);

    const Outline outline = build({{u"C0"_s, {}, u"root"_s, false, u"fine"_s},
                                   {u"C1"_s, u"C0"_s, title, false, body},
                                   {u"C2"_s, u"C0"_s, u"last"_s, true, u"fine"_s}});
    const QList<UnstorableText> found = findUnstorableText(outline);
    const bool reported =
            !characters.isEmpty() || titleLineBreak || endMarkLine || !readsBackAs.isEmpty();
    QCOMPARE(found.size(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(found[0].category, outline.item(2));
        QString listed;
        for (char32_t c : found[0].characters)
            listed += QString::fromUcs4(&c, 1);
        QCOMPARE(listed, characters);
        QCOMPARE(found[0].titleHasLineBreak, titleLineBreak);
        QCOMPARE(found[0].bodyHasEndMarkLine, endMarkLine);
        QCOMPARE(found[0].readsBackAs, readsBackAs);
    }

    // What is not reported reads back as it stands; what is reported does not.
    const ReadResult result = readOutline(writeOutline(outline));
    QVERIFY2(result.ok(), qPrintable(errorText(result)));
    const bool same = result.outline.count() == 3 && result.outline.item(2)->title() == title
            && result.outline.TextData[1] == body;
    QCOMPARE(same, !reported);
    // The unwritable characters are written as one "?" each (unless a body
    // line ending the body early takes them away).
    if (!characters.isEmpty() && !endMarkLine) {
        QVERIFY(result.outline.item(2)->title().count(u'?') + result.outline.TextData[1].count(u'?')
                >= characters.toUcs4().size());
    }
}

void TestOutlineFile::comparesPrefixes_data()
{
    QTest::addColumn<QString>("str1");
    QTest::addColumn<QString>("str2");
    QTest::addColumn<bool>("result");

    QTest::newRow("keyword line") << u"SORVEKA_KEY=C0"_s << u"SORVEKA_KEY"_s << true;
    QTest::newRow("equal") << u"SORVEKA_KEY"_s << u"SORVEKA_KEY"_s << true;
    QTest::newRow("shorter than the prefix") << u"SORVEKA_KE"_s << u"SORVEKA_KEY"_s << false;
    QTest::newRow("letter case differs") << u"sorveka_key=C0"_s << u"SORVEKA_KEY"_s << false;
    QTest::newRow("prefix not at the start") << u" SORVEKA_KEY"_s << u"SORVEKA_KEY"_s << false;
    QTest::newRow("empty prefix") << u"abc"_s << QString() << true;
    QTest::newRow("both empty") << QString() << QString() << true;
    QTest::newRow("empty string") << QString() << u"a"_s << false;
    QTest::newRow("Japanese") << u"旅行メモ"_s << u"旅行"_s << true;
    QTest::newRow("full-width letters differ") << u"ＳＯＲＶＥＫＡ"_s << u"SORVEKA"_s << false;
}

void TestOutlineFile::comparesPrefixes()
{
    QFETCH(QString, str1);
    QFETCH(QString, str2);
    QFETCH(bool, result);
    QCOMPARE(StrLComp(str1, str2), result);
}

void TestOutlineFile::takesFileTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");

    QTest::newRow("Windows path") << uR"(C:\memo\trip.svk)"_s << u"trip.svk"_s;
    QTest::newRow("name only") << u"trip.svk"_s << u"trip.svk"_s;
    QTest::newRow("ends in a backslash") << uR"(C:\memo\)"_s << QString();
    QTest::newRow("forward slashes") << u"a/b/c"_s << u"c"_s;
    QTest::newRow("absolute path") << u"/home/u/trip.svk"_s << u"trip.svk"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ends in a slash") << u"/home/u/"_s << QString();
    QTest::newRow("slash after backslash") << uR"(a\b/c.svk)"_s << u"c.svk"_s;
    QTest::newRow("backslash after slash") << uR"(a/b\c.svk)"_s << u"c.svk"_s;
    QTest::newRow("Japanese names") << u"/home/u/メモ/旅行メモ.svk"_s << u"旅行メモ.svk"_s;
    QTest::newRow("UNC path") << uR"(\\server\share\x)"_s << u"x"_s;
    QTest::newRow("no extension, blanks kept") << u"/tmp/ my notes "_s << u" my notes "_s;
}

void TestOutlineFile::takesFileTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(FileTitleOf(path), title);
}

QTEST_GUILESS_MAIN(TestOutlineFile)
#include "tst_outlinefile.moc"
