#include "file/atomicwrite.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The kernel gives up on link chains at the same depth.
constexpr int maxLinkDepth = 40;

WriteError makeError(int code, const QString &path)
{
    // strerrordesc_np is English whatever the locale and safe from any thread.
    const char *reason = ::strerrordesc_np(code);
    return {code,
            QStringLiteral("Could not save \"%1\": %2")
                    .arg(path,
                         reason ? QString::fromUtf8(reason)
                                : QStringLiteral("error %1").arg(code))};
}

WriteError makeError(int code, const QString &path, const QString &reason)
{
    return {code, QStringLiteral("Could not save \"%1\": %2").arg(path, reason)};
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The kernel's rule for following links in shared folders such as /tmp,
// which a chain resolved by hand would otherwise escape: a link in a sticky
// folder writable by all is followed only when it belongs to the user or to
// the folder's owner, so nobody can plant one where root will save.
bool isPlantedLink(const QByteArray &path, const struct stat &link)
{
    struct stat folder = {};
    if (::stat(folderOf(path).constData(), &folder) != 0)
        return false; // the link was just read there, so this is a race lost either way
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

// Follows the whole chain of links, so that the link survives and its final target is
// replaced. On return `path` is that target and `exists` says whether it is there yet.
std::optional<WriteError> resolveTarget(const QString &shownPath, QByteArray &path, struct stat &st,
                                        bool &exists)
{
    for (int depth = 0; depth <= maxLinkDepth; ++depth) {
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT)
                return makeError(errno, shownPath);
            exists = false; // a new file, or a dangling link whose target we create
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return std::nullopt;
        }
        if (isPlantedLink(path, st))
            return makeError(
                    EACCES, shownPath,
                    QStringLiteral("the link \"%1\" lies in a shared folder and belongs to "
                                   "another user, so it is not followed")
                            .arg(QFile::decodeName(path)));
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return makeError(errno, shownPath);
        if (length >= link.size())
            return makeError(ENAMETOOLONG, shownPath);
        link.truncate(length);
        // A relative link is relative to the folder holding it, not to ours.
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    return makeError(ELOOP, shownPath);
}

// umask() can only be read by setting it, which races with other threads creating
// files; Linux shows it in /proc, so only fall back to the swap when that is missing.
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            bool ok = false;
            const uint mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
            if (ok)
                return mode_t(mask & 0777);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

int writeAll(int fd, QByteArrayView data)
{
    const char *next = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO; // no progress and no reason: never spin
        next += written;
        left -= written;
    }
    return 0;
}

int fillTemporary(int fd, QByteArrayView data, const struct stat *old)
{
    if (const int error = writeAll(fd, data))
        return error;
    if (old && ::fchown(fd, old->st_uid, old->st_gid) != 0) {
        // Only root may give a file away; the group alone may still be ours to keep.
        if (errno != EPERM)
            return errno;
        if (::fchown(fd, uid_t(-1), old->st_gid) != 0 && errno != EPERM)
            return errno;
    }
    // After fchown, which may clear set-id bits; mkstemp made the file 0600.
    const mode_t mode = old ? (old->st_mode & 07777) : (0666 & ~currentUmask());
    if (::fchmod(fd, mode) != 0)
        return errno;
    // Last, so the owner and mode reach the disk together with the bytes.
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Gives the unnamed file `fd` the name `pattern` with its XXXXXX made unique.
// Linking through /proc needs no privilege, unlike linking the descriptor itself.
bool nameTemporary(int fd, QByteArray &pattern)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const QByteArray stem = pattern.chopped(6);
    for (int attempt = 0; attempt < 100; ++attempt) {
        pattern = stem
                + QByteArray::number(QRandomGenerator::global()->bounded(1u << 30), 36)
                          .rightJustified(6, '0');
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, pattern.constData(), AT_SYMLINK_FOLLOW)
            == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

int syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // EINVAL: this file system cannot sync folders; refusing every save there helps nobody.
    int error = (::fsync(fd) == 0 || errno == EINVAL) ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Overwrites the file itself, for when a new file renamed over it would not do:
// it has other names that must see the new outline too, or its folder does not
// let us create a file beside it. The space is reserved before the first byte
// changes, so a full disk fails with the old file untouched.
int writeInPlace(const QByteArray &target, QByteArrayView data)
{
    // O_NONBLOCK and O_NOFOLLOW: whatever replaced the file since it was looked
    // at must neither block the save nor lead it elsewhere.
    const int fd =
            ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st = {};
    int error = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (error == 0 && !S_ISREG(st.st_mode))
        error = EINVAL;
    if (error == 0 && !data.isEmpty())
        error = ::posix_fallocate(fd, 0, off_t(data.size()));
    if (error == 0)
        error = writeAll(fd, data);
    if (error == 0 && ::ftruncate(fd, off_t(data.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Whether a new file may be renamed over `old` in `folder`: the folder must be
// ours to write, and in a sticky one such as /tmp only the owner of the file or
// of the folder (or root) may replace the file.
bool mayReplaceIn(const QByteArray &folder, const struct stat &old)
{
    struct stat st = {};
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0
        || ::stat(folder.constData(), &st) != 0)
        return false;
    const uid_t user = ::geteuid();
    return !(st.st_mode & S_ISVTX) || user == 0 || user == old.st_uid || user == st.st_uid;
}

// An unnamed file can only be named through /proc, which chroots and sandboxes
// often lack.
bool canNameUnnamedFiles()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

} // namespace

std::optional<WriteError> writeFileAtomically(const QString &path, QByteArrayView data)
{
    if (path.isEmpty())
        return makeError(ENOENT, path);
    QByteArray target = QFile::encodeName(path);
    struct stat old = {};
    bool exists = false;
    if (auto error = resolveTarget(path, target, old, exists))
        return error;
    if (exists && S_ISDIR(old.st_mode))
        return makeError(EISDIR, path);
    // A pipe, a device or a socket is no outline file: replacing it would break
    // whatever uses it (a save over /dev/null, as root, breaks it for everyone).
    if (exists && !S_ISREG(old.st_mode))
        return makeError(EINVAL, path,
                         QStringLiteral("not a regular file (a pipe, device or socket)"));
    // Replacing by rename would get past a file the user may not write (the
    // folder decides a rename); saving must respect the file's own permission.
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return makeError(errno, path);

    const QByteArray folder = folderOf(target);
    // A rename would split a file with several names, and cannot replace one the
    // folder does not let us replace; either way the file keeps its identity by
    // being written in place.
    if (exists && (old.st_nlink > 1 || !mayReplaceIn(folder, old))) {
        if (const int error = writeInPlace(target, data))
            return makeError(error, path);
        return std::nullopt;
    }

    // Hidden and beside the target, so the rename stays within one file system; the
    // name is cut so that the dots and the random suffix still fit in NAME_MAX.
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1).left(200);
    QByteArray temporary = folder + "/." + name + ".XXXXXX";
    // An unnamed file vanishes with a process killed while writing it; it is
    // named only for the moment before the rename. Not every file system has them.
    int fd = -1;
    if (canNameUnnamedFiles()) {
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return makeError(errno, path);
    }
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0)
            return makeError(errno, path);
    }
    int error = fillTemporary(fd, data, exists ? &old : nullptr);
    // Until it is named, an unnamed file needs no clean-up: closing it is enough.
    bool named = !unnamed;
    if (error == 0 && unnamed) {
        named = nameTemporary(fd, temporary);
        if (!named)
            error = errno;
    }
    // Linux closes the descriptor even when close() fails, so it is never retried.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        // The first failure is the one worth reporting; a failed clean-up cannot undo it.
        if (named)
            (void)::unlink(temporary.constData());
        return makeError(error, path);
    }
    if (const int syncError = syncFolder(folder))
        return makeError(syncError, path);
    return std::nullopt;
}
