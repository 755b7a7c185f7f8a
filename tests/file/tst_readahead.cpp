#include "file/readahead.h"
#include "tests/support/testfiles.h"

#include <QFile>
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

// Tells when a reader has closed a file it opened for reading: the moment
// the read ahead is done with it.
class ClosedAfterReading
{
public:
    explicit ClosedAfterReading(const QString &path) : m_fd(inotify_init1(IN_CLOEXEC))
    {
        if (m_fd >= 0 && inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_CLOSE_NOWRITE) < 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~ClosedAfterReading()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ClosedAfterReading(const ClosedAfterReading &) = delete;
    ClosedAfterReading &operator=(const ClosedAfterReading &) = delete;

    // The timeout only bounds a failing test.
    bool wait() const
    {
        pollfd ready{m_fd, POLLIN, 0};
        return m_fd >= 0 && ::poll(&ready, 1, 10000) == 1;
    }

private:
    int m_fd;
};

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
    const ClosedAfterReading closed(m_first);
    OutlineReadAhead readAhead(m_first);
    // Removing the file once read shows the result was read before take().
    QVERIFY(closed.wait());
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
