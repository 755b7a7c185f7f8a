#include "file/atomicwrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "tests/support/childprocess.h"
#include "tests/support/testfiles.h"

using namespace Qt::StringLiterals;

namespace {

using childprocess::nobodyId;
constexpr int childCouldNotPrepare = childprocess::couldNotPrepare;

using files::bytesOf;
using files::entriesOf;
using files::writeBytes;

QByteArray rawLinkOf(const QString &path)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length =
            ::readlink(QFile::encodeName(path).constData(), target.data(), size_t(target.size()));
    return length < 0 ? "<not a link>"_ba : target.left(length);
}

mode_t modeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0xFFFF;
}

QByteArray payload(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3);
    return bytes;
}

// Runs the writer in a child so that limits and identities set for the test stay
// there. Returns the errno the writer reported, 0 on success, childCouldNotPrepare
// when `prepare` failed, or -1 when the child did not exit normally.
int writeInChild(const QString &path, const QByteArray &data, const std::function<bool()> &prepare)
{
    return childprocess::run(prepare, [&] {
        const auto error = writeFileAtomically(path, data);
        return error ? std::clamp(error->code, 1, childCouldNotPrepare - 1) : 0;
    });
}

// "name=value" pairs; "@" in a value stands for the test folder, for absolute links.
bool createLinks(const QString &root, const QStringList &links)
{
    for (const QString &link : links) {
        const QString name = link.section(u'=', 0, 0);
        QString value = link.section(u'=', 1);
        value.replace(u'@', root);
        if (!QDir(root).mkpath(QFileInfo(name).path())
            || ::symlink(QFile::encodeName(value).constData(),
                         QFile::encodeName(root + u'/' + name).constData())
                    != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

class TestAtomicWrite : public QObject
{
    Q_OBJECT

private slots:
    void writesContent_data();
    void writesContent();
    void setsPermissions_data();
    void setsPermissions();
    void keepsOwner();
    void followsLinks_data();
    void followsLinks();
    void reportsErrors_data();
    void reportsErrors();
    void readOnlyFolder_data();
    void readOnlyFolder();
    void fullDisk_data();
    void fullDisk();
    void refusesWhatIsNoRegularFile_data();
    void refusesWhatIsNoRegularFile();
    void keepsHardLinks();
    void refusesLinksPlantedInSharedFolders_data();
    void refusesLinksPlantedInSharedFolders();
    void savesWithoutProc();
};

void TestAtomicWrite::writesContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new empty file") << u"target.txt"_s << false << QByteArray() << QByteArray();
    QTest::newRow("new file") << u"target.txt"_s << false << QByteArray() << "hello\r\n"_ba;
    QTest::newRow("longer with shorter") << u"target.txt"_s << true << "0123456789"_ba
                                         << "ab"_ba;
    QTest::newRow("shorter with longer") << u"target.txt"_s << true << "ab"_ba
                                         << "0123456789"_ba;
    QTest::newRow("content with empty") << u"target.txt"_s << true << "old"_ba << QByteArray();
    QTest::newRow("bytes with NUL and high bits") << u"target.bin"_s << true << "old"_ba
                                                  << "\x00\x81\x40\xff\x00"_ba;
    QTest::newRow("larger than one write") << u"big.bin"_s << true << "old"_ba << payload(9 << 20);
    QTest::newRow("Japanese file name") << u"日本語の見出し.txt"_s << true << "old"_ba
                                        << "\x93\xfa\x96\x7b"_ba;
    QTest::newRow("hidden file name") << u".hidden"_s << true << "old"_ba
                                      << "new"_ba;
    QTest::newRow("name longer than the temporary's share")
            << QString(250, u'n') << true << "old"_ba
            << "new"_ba;
}

void TestAtomicWrite::writesContent()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (exists)
        QVERIFY(writeBytes(path, before));

    const auto error = writeFileAtomically(path, after);
    QVERIFY2(!error, qPrintable(error ? error->message : QString()));
    QCOMPARE(bytesOf(path), after);
    QCOMPARE(entriesOf(dir.path()), QStringList{name});
}

void TestAtomicWrite::setsPermissions_data()
{
    QTest::addColumn<int>("oldMode"); // -1: no file yet
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("expected");

    QTest::newRow("0640 kept") << 0640 << 022 << 0640;
    QTest::newRow("0600 kept") << 0600 << 022 << 0600;
    QTest::newRow("0755 kept") << 0755 << 077 << 0755;
    // Only root may write these; anyone else is refused (see the savetargets tests).
    QTest::newRow("read-only file, as root") << 0444 << 022 << 0444;
    QTest::newRow("no permissions, as root") << 0000 << 022 << 0000;
    QTest::newRow("new file, umask 022") << -1 << 022 << 0644;
    QTest::newRow("new file, umask 027") << -1 << 027 << 0640;
    QTest::newRow("new file, umask 077") << -1 << 077 << 0600;
    QTest::newRow("new file, umask 0") << -1 << 0 << 0666;
}

void TestAtomicWrite::setsPermissions()
{
    QFETCH(int, oldMode);
    QFETCH(int, mask);
    QFETCH(int, expected);

    if (oldMode >= 0 && !(oldMode & 0200) && ::geteuid() != 0)
        QSKIP("Only root may replace a file without write permission.");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"target.txt"_s);
    if (oldMode >= 0) {
        QVERIFY(writeBytes(path, "old"_ba));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)), 0);
    }

    const mode_t previousMask = ::umask(mode_t(mask));
    const auto error = writeFileAtomically(path, "new"_ba);
    ::umask(previousMask);

    QVERIFY2(!error, qPrintable(error ? error->message : QString()));
    QCOMPARE(QString::number(modeOf(path), 8), QString::number(expected, 8));
    // Without root, a mode of 0000 keeps even the owner from reading the content back.
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    QCOMPARE(bytesOf(path), "new"_ba);
    QCOMPARE(entriesOf(dir.path()), QStringList{u"target.txt"_s});
}

void TestAtomicWrite::keepsOwner()
{
    if (::geteuid() != 0)
        QSKIP("Only root can give a file to another owner to see whether it is kept.");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"target.txt"_s);
    QVERIFY(writeBytes(path, "old"_ba));
    QCOMPARE(::chown(QFile::encodeName(path).constData(), nobodyId, nobodyId), 0);

    const auto error = writeFileAtomically(path, "new"_ba);
    QVERIFY2(!error, qPrintable(error ? error->message : QString()));
    struct stat st = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_uid, nobodyId);
    QCOMPARE(st.st_gid, gid_t(nobodyId));
    QCOMPARE(bytesOf(path), "new"_ba);
}

void TestAtomicWrite::followsLinks_data()
{
    QTest::addColumn<QStringList>("links"); // created in order
    QTest::addColumn<QString>("writeTo"); // the first link
    QTest::addColumn<QString>("finalTarget");
    QTest::addColumn<bool>("targetExists");

    QTest::newRow("relative link")
            << QStringList{u"link=target.txt"_s} << u"link"_s << u"target.txt"_s << true;
    QTest::newRow("absolute link")
            << QStringList{u"link=@/target.txt"_s} << u"link"_s << u"target.txt"_s << true;
    QTest::newRow("chain of two links") << QStringList{u"link2=@/target.txt"_s, u"link1=link2"_s}
                                        << u"link1"_s << u"target.txt"_s << true;
    QTest::newRow("link into a subfolder")
            << QStringList{u"link=sub/target.txt"_s} << u"link"_s << u"sub/target.txt"_s << true;
    // Relative values are read from the link's own folder, not from the writer's.
    QTest::newRow("link in a subfolder pointing up")
            << QStringList{u"sub/link=../target.txt"_s} << u"sub/link"_s << u"target.txt"_s << true;
    QTest::newRow("chain through a subfolder")
            << QStringList{u"sub/link2=target.txt"_s, u"link1=sub/link2"_s} << u"link1"_s
            << u"sub/target.txt"_s << true;
    QTest::newRow("dangling link gets its target")
            << QStringList{u"link=target.txt"_s} << u"link"_s << u"target.txt"_s << false;
}

void TestAtomicWrite::followsLinks()
{
    QFETCH(QStringList, links);
    QFETCH(QString, writeTo);
    QFETCH(QString, finalTarget);
    QFETCH(bool, targetExists);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(u"sub"_s));
    const QString target = dir.filePath(finalTarget);
    if (targetExists) {
        QVERIFY(writeBytes(target, "old"_ba));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    }
    QVERIFY(createLinks(dir.path(), links));
    QHash<QString, QByteArray> linkValues;
    for (const QString &link : std::as_const(links)) {
        const QString name = link.section(u'=', 0, 0);
        linkValues.insert(name, rawLinkOf(dir.filePath(name)));
    }
    const QStringList rootBefore = entriesOf(dir.path());
    const QStringList subBefore = entriesOf(dir.filePath(u"sub"_s));

    const auto error = writeFileAtomically(dir.filePath(writeTo), "new"_ba);
    QVERIFY2(!error, qPrintable(error ? error->message : QString()));

    for (auto it = linkValues.cbegin(); it != linkValues.cend(); ++it) {
        QVERIFY2(QFileInfo(dir.filePath(it.key())).isSymLink(), qPrintable(it.key()));
        QCOMPARE(rawLinkOf(dir.filePath(it.key())), it.value());
    }
    QCOMPARE(bytesOf(target), "new"_ba);
    if (targetExists) // the replaced file's mode, not the link's
        QCOMPARE(QString::number(modeOf(target), 8), u"640"_s);
    // Nothing beside the files that were there, plus the target a dangling link asked for.
    QStringList rootAfter = entriesOf(dir.path());
    QStringList subAfter = entriesOf(dir.filePath(u"sub"_s));
    if (!targetExists)
        (finalTarget.startsWith(u"sub/"_s) ? subAfter : rootAfter)
                .removeOne(QFileInfo(finalTarget).fileName());
    QCOMPARE(rootAfter, rootBefore);
    QCOMPARE(subAfter, subBefore);
}

void TestAtomicWrite::reportsErrors_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("writeTo");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");

    QTest::newRow("target is a folder")
            << QStringList{u"target"_s} << QStringList() << QStringList() << u"target"_s
            << int(EISDIR) << u"Is a directory"_s;
    QTest::newRow("link to a folder")
            << QStringList{u"folder"_s} << QStringList() << QStringList{u"link=folder"_s}
            << u"link"_s << int(EISDIR) << u"Is a directory"_s;
    QTest::newRow("chain of links to a folder")
            << QStringList{u"folder"_s} << QStringList()
            << QStringList{u"link2=@/folder"_s, u"link1=link2"_s} << u"link1"_s << int(EISDIR)
            << u"Is a directory"_s;
    QTest::newRow("links in a loop")
            << QStringList() << QStringList() << QStringList{u"a=b"_s, u"b=a"_s} << u"a"_s
            << int(ELOOP) << u"Too many levels of symbolic links"_s;
    QTest::newRow("missing folder")
            << QStringList() << QStringList() << QStringList() << u"nowhere/target.txt"_s
            << int(ENOENT) << u"No such file or directory"_s;
    QTest::newRow("folder is a file")
            << QStringList() << QStringList{u"plain"_s} << QStringList() << u"plain/target.txt"_s
            << int(ENOTDIR) << u"Not a directory"_s;
}

void TestAtomicWrite::reportsErrors()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QStringList, links);
    QFETCH(QString, writeTo);
    QFETCH(int, code);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &folder : std::as_const(folders))
        QVERIFY(QDir(dir.path()).mkpath(folder));
    for (const QString &file : std::as_const(files))
        QVERIFY(writeBytes(dir.filePath(file), "keep"_ba));
    QVERIFY(createLinks(dir.path(), links));
    const QStringList before = entriesOf(dir.path());

    const QString path = dir.filePath(writeTo);
    const auto error = writeFileAtomically(path, "new"_ba);
    QVERIFY(error);
    QCOMPARE(error->code, code);
    QVERIFY2(error->message.contains(path), qPrintable(error->message));
    QVERIFY2(error->message.contains(reason), qPrintable(error->message));
    QCOMPARE(entriesOf(dir.path()), before);
    for (const QString &folder : std::as_const(folders))
        QCOMPARE(entriesOf(dir.filePath(folder)), QStringList());
    for (const QString &file : std::as_const(files))
        QCOMPARE(bytesOf(dir.filePath(file)), "keep"_ba);
}

void TestAtomicWrite::readOnlyFolder_data()
{
    QTest::addColumn<QString>("existing"); // what is at the target: "file", "folder" or ""
    QTest::addColumn<int>("code");

    QTest::newRow("existing file") << u"file"_s << int(EACCES);
    // Written in place: the folder only forbids a file beside it.
    QTest::newRow("existing file the user may write") << u"writable file"_s << 0;
    QTest::newRow("new file") << QString() << int(EACCES);
    // The folder is named as the reason, not the permissions of the one holding it.
    QTest::newRow("target is a folder") << u"folder"_s << int(EISDIR);
}

void TestAtomicWrite::readOnlyFolder()
{
    QFETCH(QString, existing);
    QFETCH(int, code);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"locked"_s);
    const QString path = folder + u"/target"_s;
    QVERIFY(QDir(dir.path()).mkpath(u"locked"_s));
    if (existing.endsWith(u"file"_s))
        QVERIFY(writeBytes(path, "old"_ba));
    if (existing == u"writable file"_s)
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    if (existing == u"folder"_s)
        QVERIFY(QDir(folder).mkpath(u"target"_s));
    const QStringList before = entriesOf(folder);
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    // Root ignores folder permissions: the child gives up root first, which needs a
    // path the unprivileged account may walk.
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);

    const int reported = writeInChild(path, "new"_ba, childprocess::leaveRoot);
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    if (reported == childCouldNotPrepare)
        QSKIP("Running as root and unable to drop to an unprivileged account, so folder "
              "permissions cannot be tested.");

    QCOMPARE(reported, code);
    QCOMPARE(entriesOf(folder), before);
    if (existing == u"file"_s)
        QCOMPARE(bytesOf(path), "old"_ba);
    if (existing == u"writable file"_s)
        QCOMPARE(bytesOf(path), "new"_ba);
}

void TestAtomicWrite::fullDisk_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("linked"); // a second name, so the file is written in place
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<qint64>("size");

    QTest::newRow("partial write, then no room") << true << false << qint64(4096) << qint64(65536);
    QTest::newRow("one byte too many") << true << false << qint64(4096) << qint64(4097);
    QTest::newRow("no room at all") << true << false << qint64(0) << qint64(10);
    QTest::newRow("new file") << false << false << qint64(4096) << qint64(65536);
    QTest::newRow("hard-linked file") << true << true << qint64(4096) << qint64(65536);
}

// RLIMIT_FSIZE stands in for a full disk: it applies to root too, and the writer sees
// the same short write followed by a failed one.
void TestAtomicWrite::fullDisk()
{
    QFETCH(bool, exists);
    QFETCH(bool, linked);
    QFETCH(qint64, limit);
    QFETCH(qint64, size);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"target.txt"_s);
    const QByteArray old = "the old content, which must survive\n"_ba;
    if (exists)
        QVERIFY(writeBytes(path, old));
    const QString other = dir.filePath(u"other name.txt"_s);
    if (linked)
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()),
                 0);

    const int code = writeInChild(path, payload(size), [limit] {
        const rlimit fileSize = {rlim_t(limit), rlim_t(limit)};
        return ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
    });
    QVERIFY2(code == EFBIG || code == ENOSPC, qPrintable(u"child reported %1"_s.arg(code)));
    QCOMPARE(bytesOf(path), exists ? old : "<missing>"_ba);
    QStringList expected = exists ? QStringList{u"target.txt"_s} : QStringList();
    if (linked)
        expected.prepend(u"other name.txt"_s);
    QCOMPARE(entriesOf(dir.path()), expected);
}

void TestAtomicWrite::refusesWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("throughLink");

    QTest::newRow("a pipe") << u"pipe"_s << false;
    QTest::newRow("a link to a pipe") << u"pipe"_s << true;
    QTest::newRow("a device node") << u"device"_s << false;
}

// Not replaced by a regular file: a device node at the target may be
// /dev/null, which the whole system relies on.
void TestAtomicWrite::refusesWhatIsNoRegularFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, throughLink);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString node = dir.filePath(u"node"_s);
    const QByteArray nodeName = QFile::encodeName(node);
    if (kind == u"pipe"_s) {
        QCOMPARE(::mkfifo(nodeName.constData(), 0600), 0);
    } else if (::mknod(nodeName.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
        QSKIP("Cannot make a device node here (only root may, and not in every container).");
    }
    const QString path = throughLink ? dir.filePath(u"link"_s) : node;
    if (throughLink)
        QVERIFY(createLinks(dir.path(), {u"link=node"_s}));
    struct stat before = {};
    QCOMPARE(::lstat(nodeName.constData(), &before), 0);

    const auto error = writeFileAtomically(path, "new"_ba);
    QVERIFY(error);
    QCOMPARE(error->code, int(EINVAL));
    QVERIFY2(error->message.contains(u"not a regular file"_s), qPrintable(error->message));
    struct stat after = {};
    QCOMPARE(::lstat(nodeName.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(entriesOf(dir.path()),
             throughLink ? (QStringList{u"link"_s, u"node"_s}) : QStringList{u"node"_s});
}

// Every name of the file sees the new content: it is the same file still.
void TestAtomicWrite::keepsHardLinks()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"target.txt"_s);
    const QString other = dir.filePath(u"other name.txt"_s);
    QVERIFY(writeBytes(path, "the old content, longer than the new"_ba));
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    struct stat before = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);

    const auto error = writeFileAtomically(path, "new"_ba);
    QVERIFY2(!error, qPrintable(error ? error->message : QString()));
    QCOMPARE(bytesOf(path), "new"_ba);
    QCOMPARE(bytesOf(other), "new"_ba);
    struct stat after = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_nlink, nlink_t(2));
    QCOMPARE(entriesOf(dir.path()), (QStringList{u"other name.txt"_s, u"target.txt"_s}));
}

void TestAtomicWrite::refusesLinksPlantedInSharedFolders_data()
{
    QTest::addColumn<bool>("folderIsNobodys");
    QTest::addColumn<bool>("linkIsNobodys");
    QTest::addColumn<bool>("followed");

    QTest::newRow("another user's link in our shared folder") << false << true << false;
    QTest::newRow("the folder owner's link") << true << true << true;
    QTest::newRow("our own link in another's shared folder") << true << false << true;
}

// As the kernel does for links it follows itself, in folders such as /tmp.
void TestAtomicWrite::refusesLinksPlantedInSharedFolders()
{
    QFETCH(bool, folderIsNobodys);
    QFETCH(bool, linkIsNobodys);
    QFETCH(bool, followed);
    if (::geteuid() != 0)
        QSKIP("Only root can give a link to another user.");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString shared = dir.filePath(u"shared"_s);
    const QString target = dir.filePath(u"target.txt"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"shared"_s));
    QVERIFY(writeBytes(target, "old"_ba));
    QVERIFY(createLinks(dir.path(), {u"shared/link=@/target.txt"_s}));
    const QByteArray link = QFile::encodeName(shared + u"/link"_s);
    QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    if (folderIsNobodys)
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), nobodyId, nobodyId), 0);
    if (linkIsNobodys)
        QCOMPARE(::lchown(link.constData(), nobodyId, nobodyId), 0);

    const auto error = writeFileAtomically(QFile::decodeName(link), "new"_ba);
    if (followed) {
        QVERIFY2(!error, qPrintable(error ? error->message : QString()));
        QCOMPARE(bytesOf(target), "new"_ba);
    } else {
        QVERIFY(error);
        QCOMPARE(error->code, int(EACCES));
        QVERIFY2(error->message.contains(u"shared folder"_s), qPrintable(error->message));
        QCOMPARE(bytesOf(target), "old"_ba);
    }
    QCOMPARE(rawLinkOf(QFile::decodeName(link)), QFile::encodeName(target));
}

// Chroots and sandboxes often have no /proc, through which the unnamed
// temporary file is named; the save must not depend on it.
void TestAtomicWrite::savesWithoutProc()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"target.txt"_s);
    QVERIFY(writeBytes(path, "old"_ba));

    const int code = writeInChild(path, "new"_ba, [] {
        // An empty /proc in a mount namespace of the child's own.
        return ::unshare(CLONE_NEWNS) == 0
                && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                && ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0
                && ::access("/proc/self", F_OK) != 0;
    });
    if (code == childCouldNotPrepare)
        QSKIP("Cannot hide /proc in a mount namespace here (needs root, and a kernel that allows "
              "it).");
    QCOMPARE(code, 0);
    QCOMPARE(bytesOf(path), "new"_ba);
    QCOMPARE(entriesOf(dir.path()), QStringList{u"target.txt"_s});
}

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
