#include "file/readahead.h"
#include "tests/support/testfiles.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray outlineTitled(const QByteArray &title)
{
    return "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=" + title
            + "\r\nSORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_CHECK_MARK\r\n";
}

QString rootTitle(const ReadResult &read)
{
    return read.ok() ? read.outline.root()->title() : u"(read failed)"_s;
}

} // namespace

// The outline read ahead is the one asked for, and only once.
class TestReadAhead : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void givesWhatWasReadForThatPath();
    void readsAnotherPathNow();
    void readsAgainOnceTaken();
    void reportsAFailedRead();
    void emptyPathReadsNothingAhead();

private:
    QString m_first;
    QString m_second;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestReadAhead::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_first = m_dir->filePath(u"first.svk"_s);
    m_second = m_dir->filePath(u"second.svk"_s);
    QVERIFY(files::writeBytes(m_first, outlineTitled("first")));
    QVERIFY(files::writeBytes(m_second, outlineTitled("second")));
}

void TestReadAhead::givesWhatWasReadForThatPath()
{
    // Removing the file once the reader closed it shows the result was read
    // before take(). The poll's timeout only bounds a failing test.
    const int watch = inotify_init1(IN_CLOEXEC);
    QVERIFY(watch >= 0);
    const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
    QVERIFY(inotify_add_watch(watch, QFile::encodeName(m_first).constData(), IN_CLOSE_NOWRITE)
            >= 0);
    OutlineReadAhead readAhead(m_first);
    pollfd closed{watch, POLLIN, 0};
    QCOMPARE(::poll(&closed, 1, 10000), 1);
    QVERIFY(QFile::remove(m_first));
    QCOMPARE(rootTitle(readAhead.take(m_first)), u"first"_s);
}

void TestReadAhead::readsAnotherPathNow()
{
    OutlineReadAhead readAhead(m_first);
    QCOMPARE(rootTitle(readAhead.take(m_second)), u"second"_s);
}

void TestReadAhead::readsAgainOnceTaken()
{
    OutlineReadAhead readAhead(m_first);
    QCOMPARE(rootTitle(readAhead.take(m_first)), u"first"_s);
    QVERIFY(files::writeBytes(m_first, outlineTitled("changed")));
    QCOMPARE(rootTitle(readAhead.take(m_first)), u"changed"_s);
}

void TestReadAhead::reportsAFailedRead()
{
    const QString missing = m_dir->filePath(u"missing.svk"_s);
    OutlineReadAhead readAhead(missing);
    const ReadResult read = readAhead.take(missing);
    QVERIFY(!read.ok());
    QCOMPARE(read.error->code, LoadError::Code::CannotOpen);
}

void TestReadAhead::emptyPathReadsNothingAhead()
{
    OutlineReadAhead readAhead{QString()};
    QCOMPARE(rootTitle(readAhead.take(m_second)), u"second"_s);
}

QTEST_GUILESS_MAIN(TestReadAhead)
#include "tst_readahead.moc"
