#include "robustoutlines.h"
#include "saverrun.h"
#include "tests/support/samplefiles.h"

#include "tests/mainwindow/formdriver.h"
#include "tests/support/outlinerecords.h"

#include "document/document.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"
#include "mainwindow/form1.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using outlinerecords::record;

namespace {

// What the writer makes of the outline read from `bytes`: bytes it will give
// back unchanged from then on.
QByteArray normalised(const QByteArray &bytes)
{
    const ReadResult read = readOutline(bytes);
    return read.ok() ? writeOutline(read.outline) : QByteArray();
}

int depthOf(const Category *category)
{
    int depth = 0;
    for (; category->parent(); category = category->parent())
        ++depth;
    return depth;
}

int deepestDepth(const Outline &outline)
{
    int deepest = 0;
    for (int i = 1; i <= outline.count(); ++i)
        deepest = std::max(deepest, depthOf(outline.item(i)));
    return deepest;
}

QByteArray wideBeyondTheLimit()
{
    QByteArray bytes = record("C0", {}, "root", "False", {""});
    for (int i = 1; i <= Outline::TextSlots; ++i)
        bytes += record(QByteArray("C" + QByteArray::number(i)), "C0", "item", "False", {""});
    return bytes;
}

} // namespace

// Outlines at the limits and input that is no outline: each either reads or
// gives the read error; none crashes or hangs.
class TestLimits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void readerCopes_data();
    void readerCopes();
    void windowCopes_data();
    void windowCopes();
    void deepChainInTheWindow();
    void hugeBodyReadsAndSaves();
    void readSurvivesTheFileCutShort();

private:
    void addInputRows();
    // Writes the input the row names; returns the path to open.
    QString prepare(const QString &input);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLimits::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestLimits::addInputRows()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<int>("code"); // LoadError::Code when it does not read
    QTest::addColumn<int>("categories"); // when it reads
    QTest::addColumn<int>("depth"); // of the deepest category, when it reads

    const int noError = -1;
    QTest::newRow("2049 categories, every slot used") << u"wide"_s << true << noError << 2049 << 1;
    QTest::newRow("2050 categories")
            << u"too wide"_s << false << int(LoadError::Code::KeyNumberOutOfRange) << 0 << 0;
    QTest::newRow("a chain 2048 deep") << u"chain"_s << true << noError << 2049 << 2048;
    QTest::newRow("a title of 1 MB") << u"long title"_s << true << noError << 2 << 1;
    QTest::newRow("bytes that are not code page 932")
            << u"bad bytes"_s << true << noError << 2 << 1;
    QTest::newRow("NUL bytes in title and body") << u"nul"_s << true << noError << 2 << 1;
    QTest::newRow("a program file")
            << u"binary"_s << false << int(LoadError::Code::NoRecord) << 0 << 0;
    QTest::newRow("an empty file")
            << u"empty"_s << false << int(LoadError::Code::NoRecord) << 0 << 0;
    QTest::newRow("a folder") << u"folder"_s << false << int(LoadError::Code::NotRegularFile) << 0
                              << 0;
    // Neither may block nor be read until memory runs out.
    QTest::newRow("a pipe without a writer")
            << u"fifo"_s << false << int(LoadError::Code::NotRegularFile) << 0 << 0;
    QTest::newRow("an endless device")
            << u"device"_s << false << int(LoadError::Code::NotRegularFile) << 0 << 0;
    QTest::newRow("a file that is gone")
            << u"missing"_s << false << int(LoadError::Code::CannotOpen) << 0 << 0;
}

QString TestLimits::prepare(const QString &input)
{
    const QString path = m_dir->filePath(input + u".svk"_s);
    QByteArray bytes;
    if (input == u"wide") {
        bytes = writeOutline(robustoutlines::wide(Outline::TextSlots));
    } else if (input == u"too wide") {
        bytes = wideBeyondTheLimit();
    } else if (input == u"chain") {
        bytes = writeOutline(robustoutlines::chain(Outline::MaxKeyNumber));
    } else if (input == u"long title") {
        bytes = record("C0", {}, QByteArray(1 << 20, 'T'), "False", {"body"})
                + record("C1", "C0", "short", "False", {""});
    } else if (input == u"bad bytes") {
        // A lead byte without its trail, unassigned pairs, a lone trail byte,
        // and a lead byte as the very last byte of a title.
        bytes = record("C0", {}, "\x81\x20\xEF\xFC\x85\x40 ok \x82", "False",
                       {"\xA0\xFD\xFE\xFF\r\n\x9F"})
                + record("C1", "C0", "\xF0\x40\x40", "False", {"\x81"});
    } else if (input == u"nul") {
        bytes = record("C0", {}, QByteArray("a\0b", 3), "False", {QByteArray("\0\0\r\n\0", 5)})
                + record("C1", "C0", QByteArray(1, '\0'), "False", {QByteArray(1, '\0')});
    } else if (input == u"binary") {
        if (!QFile::copy(u"/bin/ls"_s, path) && !QFile::exists(path))
            qWarning("could not copy /bin/ls");
        return path;
    } else if (input == u"folder") {
        QDir(m_dir->path()).mkdir(input);
        return m_dir->filePath(input);
    } else if (input == u"fifo") {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0 && errno != EEXIST)
            qWarning("could not make a pipe");
        return path;
    } else if (input == u"device") {
        return u"/dev/zero"_s;
    } else if (input == u"missing") {
        return m_dir->filePath(u"gone.svk"_s);
    }
    files::writeBytes(path, bytes);
    return path;
}

void TestLimits::readerCopes_data()
{
    addInputRows();
}

void TestLimits::readerCopes()
{
    QFETCH(QString, input);
    QFETCH(bool, reads);
    QFETCH(int, code);
    QFETCH(int, categories);
    QFETCH(int, depth);

    const QString path = prepare(input);
    if (input == u"binary" && !QFile::exists(path))
        QSKIP("No /bin/ls to copy.");
    const ReadResult read = readOutlineFile(path);
    if (!reads) {
        QVERIFY(!read.ok());
        QCOMPARE(int(read.error->code), code);
        QVERIFY(!read.error->message.isEmpty());
        return;
    }
    QVERIFY2(read.ok(), read.ok() ? "" : qPrintable(read.error->message));
    QCOMPARE(read.outline.count(), categories);
    QCOMPARE(deepestDepth(read.outline), depth);
    // Whatever the writer makes of it reads back to the same bytes: nothing
    // read is lost by the next save, odd bytes included.
    const QByteArray written = writeOutline(read.outline);
    QCOMPARE(normalised(written), written);
    if (input == u"bad bytes" || input == u"nul" || input == u"wide" || input == u"chain")
        QCOMPARE(written, files::bytesOf(path));
}

void TestLimits::windowCopes_data()
{
    addInputRows();
}

void TestLimits::windowCopes()
{
    QFETCH(QString, input);
    QFETCH(bool, reads);
    QFETCH(int, categories);

    const QString path = prepare(input);
    if (input == u"binary" && !QFile::exists(path))
        QSKIP("No /bin/ls to copy.");
    const QString trip = m_dir->filePath(u"trip.svk"_s);
    QVERIFY(files::writeBytes(trip, writeOutline(samplefiles::trip())));

    FormDriver driver;
    QVERIFY(driver.start({trip}, QString()));
    ScriptedQuestions &questions = driver.questions();
    questions.answerOpen(path);
    if (!reads)
        questions.expectError();
    const QString before = driver.state();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(driver.clickToolbar(u"tOpen"_s));
    // Give the view its chance to lay out and paint what was read.
    QCoreApplication::processEvents();
    qInfo("opened in %lld ms", timer.elapsed());

    const Document &document = driver.document();
    if (reads) {
        QCOMPARE(questions.askedOf(ScriptedQuestions::Kind::Error).size(), 0);
        QCOMPARE(document.outline.count(), categories);
        QCOMPARE(document.CurrentFile, path);
        QVERIFY(!document.DataChanged);
        // The whole title reaches the box.
        QCOMPARE(driver.titleBox()->text(), document.outline.root()->title());
    } else {
        const auto errors = questions.askedOf(ScriptedQuestions::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].title, u"読み込みエラー"_s);
        QCOMPARE(driver.state(), before);
    }
    QVERIFY2(questions.problems().isEmpty(), qPrintable(questions.problems().join(u'\n')));
}

void TestLimits::deepChainInTheWindow()
{
    const QString path = m_dir->filePath(u"deep.svk"_s);
    QVERIFY(files::writeBytes(path, writeOutline(robustoutlines::chain(Outline::MaxKeyNumber))));

    FormDriver driver;
    QVERIFY(driver.start({path}, QString()));
    Document &document = driver.document();
    QCOMPARE(document.outline.count(), Outline::TextSlots);
    Category *deepest = driver.category(u"C%1"_s.arg(Outline::MaxKeyNumber));
    QVERIFY(deepest);

    QElapsedTimer timer;
    timer.start();
    QTreeView *tree = driver.tree();
    tree->expandAll();
    QCoreApplication::processEvents();
    // The user scrolls down and then sideways to the deepest category.
    const QModelIndex index = driver.indexOf(deepest);
    tree->scrollTo(index);
    const int left = tree->visualRect(index).left();
    tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->value() + left - 40);
    const QRect rect = tree->visualRect(index);
    qInfo("expanded and scrolled to the deepest in %lld ms; its row starts %d pixels right of the "
          "root's",
          timer.elapsed(), left);
    QVERIFY2(tree->viewport()->rect().contains(rect.topLeft() + QPoint(10, 2)),
             "the deepest category is out of reach");
    const QPoint onText = rect.topLeft() + QPoint(10, rect.height() / 2);

    // A click shows it; a double click marks it, and with one child each,
    // every ancestor follows.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onText);
    QCOMPARE(driver.titleBox()->text(), u"level 2048"_s);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onText);
    QVERIFY(deepest->checked());
    QVERIFY(document.outline.root()->checked());
    QVERIFY(document.DataChanged);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onText);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onText);
    QVERIFY(!deepest->checked());
    QVERIFY(!document.outline.root()->checked());
    QVERIFY(!document.outline.item(u"C1"_s)->checked());
    driver.action(u"mCheck"_s)->trigger();
    QVERIFY(deepest->checked());

    QVERIFY(driver.clickToolbar(u"tSave"_s));
    QVERIFY(!document.DataChanged);
    const ReadResult read = readOutlineFile(path);
    QVERIFY(read.ok());
    QCOMPARE(deepestDepth(read.outline), Outline::MaxKeyNumber);
    for (int i = 1; i <= read.outline.count(); ++i)
        QVERIFY2(read.outline.item(i)->checked(), qPrintable(read.outline.item(i)->key()));
    QVERIFY2(driver.questions().problems().isEmpty(),
             qPrintable(driver.questions().problems().join(u'\n')));
}

void TestLimits::hugeBodyReadsAndSaves()
{
    // 100 MiB of body lines, a few of them Japanese, in one record.
    constexpr qsizetype bodySize = qsizetype(100) << 20;
    QByteArray body;
    body.reserve(bodySize + 128);
    const QByteArray japanese = QByteArray("\x93\xfa\x96\x7b\x8c\xea"); // 日本語
    for (int line = 0; body.size() < bodySize; ++line) {
        if (!body.isEmpty())
            body += "\r\n";
        body += QByteArray::number(line).rightJustified(8, '0');
        body += line % 1000 == 0 ? japanese : QByteArray();
        body += QByteArray(88, 'x');
    }
    const QByteArray bytes = record("C0", {}, "large", "False", {body})
            + record("C1", "C0", "small", "False", {"s"});
    body = QByteArray();
    const QString from = m_dir->filePath(u"large.svk"_s);
    const QString to = m_dir->filePath(u"large copy.svk"_s);
    QVERIFY(files::writeBytes(from, bytes));

    QElapsedTimer timer;
    timer.start();
    const SaverRun run = saverrun::run({u"copy"_s, from, to},
                                       QProcessEnvironment::systemEnvironment(), false, 180000);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.output + run.errors));
    QVERIFY2(run.output.contains(u"categories=2 "_s), qPrintable(run.output));
    // The copy is the same file: nothing was cut or changed on the way.
    QCOMPARE(QFileInfo(to).size(), qint64(bytes.size()));
    QCOMPARE(QCryptographicHash::hash(files::bytesOf(to), QCryptographicHash::Sha256),
             QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));

    // This test's only child, so the largest child is the one that copied.
    rusage usage{};
    QCOMPARE(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    qInfo("read and saved a %lld byte file in %lld ms; peak RSS of the child %ld kB (%s)",
          qlonglong(bytes.size()), elapsed, usage.ru_maxrss, qPrintable(run.output.simplified()));
    QVERIFY(usage.ru_maxrss > 0);
    QVERIFY2(usage.ru_maxrss < 2L * 1024 * 1024, "peak RSS above 2 GB");
}

// Another program cuts the file short and writes it again, over and over,
// while it is read: each read gives the outline, part of it or the read
// error, and never takes the process down.
void TestLimits::readSurvivesTheFileCutShort()
{
    const QByteArray bytes = record("C0", {}, "root", "False", {QByteArray(12 << 20, 'x')})
            + record("C1", "C0", "end", "False", {""});
    const QString path = m_dir->filePath(u"cut short.svk"_s);
    QVERIFY(files::writeBytes(path, bytes));
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);

    std::atomic<bool> done = false;
    std::atomic<int> cuts = 0;
    std::thread other([&] {
        while (!done) {
            if (::ftruncate(fd, 0) != 0
                || ::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) != bytes.size())
                break;
            ++cuts;
        }
    });
    QList<int> codes;
    for (int i = 0; i < 40; ++i) {
        const ReadResult read = readOutlineFile(path);
        codes.append(read.ok() ? -1 : int(read.error->code));
    }
    done = true;
    other.join();
    ::close(fd);
    QVERIFY(cuts > 0);
    for (int code : std::as_const(codes)) {
        QVERIFY2(code == -1 || code == int(LoadError::Code::ChangedWhileReading)
                         || code == int(LoadError::Code::NoRecord),
                 qPrintable(u"read error code %1"_s.arg(code)));
    }
}

QTEST_MAIN(TestLimits)

#include "tst_limits.moc"
