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
    return {code, QStringLiteral("Could not save \"%1\": %2")
                          .arg(path, reason ? QString::fromUtf8(reason)
                                            : QStringLiteral("error %1").arg(code))};
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Follows the whole chain of links, so that the link survives and its final target is
// replaced. On return `path` is that target and `exists` says whether it is there yet.
int resolveTarget(QByteArray &path, struct stat &st, bool &exists)
{
    for (int depth = 0; depth <= maxLinkDepth; ++depth) {
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            exists = false; // a new file, or a dangling link whose target we create
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return 0;
        }
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return errno;
        if (length >= link.size())
            return ENAMETOOLONG;
        link.truncate(length);
        // A relative link is relative to the folder holding it, not to ours.
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    return ELOOP;
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

int fillTemporary(int fd, QByteArrayView data, const struct stat *old)
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
        pattern = stem + QByteArray::number(QRandomGenerator::global()->bounded(1u << 30), 36)
                                 .rightJustified(6, '0');
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, pattern.constData(), AT_SYMLINK_FOLLOW) == 0)
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

} // namespace

std::optional<WriteError> writeFileAtomically(const QString &path, QByteArrayView data)
{
    if (path.isEmpty())
        return makeError(ENOENT, path);
    QByteArray target = QFile::encodeName(path);
    struct stat old = {};
    bool exists = false;
    if (const int error = resolveTarget(target, old, exists))
        return makeError(error, path);
    if (exists && S_ISDIR(old.st_mode))
        return makeError(EISDIR, path);
    // Replacing by rename would get past a file the user may not write (the
    // folder decides a rename); saving must respect the file's own permission.
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return makeError(errno, path);

    // Hidden and beside the target, so the rename stays within one file system; the
    // name is cut so that the dots and the random suffix still fit in NAME_MAX.
    const QByteArray folder = folderOf(target);
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1).left(200);
    QByteArray temporary = folder + "/." + name + ".XXXXXX";
    // An unnamed file vanishes with a process killed while writing it; it is
    // named only for the moment before the rename. Not every file system has them.
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return makeError(errno, path);
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
