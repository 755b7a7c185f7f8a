/* Preloaded into a process to make one file-system call fail, so tests can see
 * what a save does when the disk fills up or goes bad part-way.
 *
 * Configured from the environment when loaded:
 *   SORVEKA_FAULT_CALL   write, fsync, fdatasync, rename (also renameat and
 *                        renameat2) or close
 *   SORVEKA_FAULT_AT     the call that fails, counting from 1
 *   SORVEKA_FAULT_ERRNO  ENOSPC or EIO (default ENOSPC)
 *   SORVEKA_FAULT_UNDER  only calls on paths at or under this folder count;
 *                        without it every call of the kind counts
 * or at run time through sorveka_fault_arm(), found with dlsym.
 *
 * Each injected failure is announced on stderr as "faultshim: <call> #<n> <errno>",
 * so a test can tell a run that met its fault from one that ended before it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* ISO C has no cast from an object pointer to a function pointer; copying the
 * bits is what dlsym's users are told to do. */
static void nextSymbol(void *function, const char *name)
{
    void *symbol = dlsym(RTLD_NEXT, name);
    memcpy(function, &symbol, sizeof symbol);
}

enum call { callNone, callWrite, callFsync, callFdatasync, callRename, callClose };

static atomic_int armedCall = callNone;
static atomic_int failAt = 0;
static atomic_int counted = 0;
static atomic_int injectedErrno = ENOSPC;
static char under[PATH_MAX];
static atomic_size_t underLength = 0;

static enum call callNamed(const char *name)
{
    if (!name)
        return callNone;
    if (strcmp(name, "write") == 0)
        return callWrite;
    if (strcmp(name, "fsync") == 0)
        return callFsync;
    if (strcmp(name, "fdatasync") == 0)
        return callFdatasync;
    if (strcmp(name, "rename") == 0)
        return callRename;
    if (strcmp(name, "close") == 0)
        return callClose;
    return callNone;
}

static const char *nameOf(enum call c)
{
    static const char *const names[] = {"none", "write", "fsync", "fdatasync", "rename", "close"};
    return names[c];
}

/* Arms the shim: the `at`-th call of kind `call` on a path under `folder` (any
 * path when null or empty) fails with `error`. A null or unknown call disarms.
 * Returns 0, or -1 when the folder name is too long. */
int sorveka_fault_arm(const char *call, int at, int error, const char *folder)
{
    atomic_store(&armedCall, callNone);
    size_t length = folder ? strlen(folder) : 0;
    while (length > 1 && folder[length - 1] == '/')
        --length;
    if (length >= sizeof under)
        return -1;
    if (length)
        memcpy(under, folder, length);
    under[length] = '\0';
    atomic_store(&underLength, length);
    atomic_store(&counted, 0);
    atomic_store(&failAt, at);
    atomic_store(&injectedErrno, error ? error : ENOSPC);
    atomic_store(&armedCall, callNamed(call));
    return 0;
}

/* How many calls of the armed kind were counted since arming. */
int sorveka_fault_counted(void)
{
    return atomic_load(&counted);
}

__attribute__((constructor)) static void configureFromEnvironment(void)
{
    const char *call = getenv("SORVEKA_FAULT_CALL");
    const char *at = getenv("SORVEKA_FAULT_AT");
    if (!call || !at)
        return;
    const char *error = getenv("SORVEKA_FAULT_ERRNO");
    const int code = error && strcmp(error, "EIO") == 0 ? EIO : ENOSPC;
    sorveka_fault_arm(call, atoi(at), code, getenv("SORVEKA_FAULT_UNDER"));
}

static int isUnder(const char *path)
{
    const size_t length = atomic_load(&underLength);
    if (length == 0)
        return 1;
    if (!path || strncmp(path, under, length) != 0)
        return 0;
    return path[length] == '\0' || path[length] == '/' || (length == 1 && under[0] == '/');
}

static int fdIsUnder(int fd)
{
    if (atomic_load(&underLength) == 0)
        return 1;
    char link[64];
    char path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length < 0)
        return 0;
    path[length] = '\0';
    return isUnder(path);
}

/* True when this call is the one to fail; then errno is set for the caller.
 * The path is looked at only for the kind armed, so other calls stay cheap. */
static int shouldFail(enum call c, int fd, const char *path)
{
    if (atomic_load(&armedCall) != (int)c)
        return 0;
    if (!(path ? isUnder(path) : fdIsUnder(fd)))
        return 0;
    const int n = atomic_fetch_add(&counted, 1) + 1;
    if (n != atomic_load(&failAt))
        return 0;
    const int error = atomic_load(&injectedErrno);
    char message[96];
    const int length = snprintf(message, sizeof message, "faultshim: %s #%d %s\n", nameOf(c), n,
                                error == EIO ? "EIO" : "ENOSPC");
    static ssize_t (*realWrite)(int, const void *, size_t);
    if (!realWrite)
        nextSymbol(&realWrite, "write");
    if (realWrite && length > 0)
        (void)realWrite(STDERR_FILENO, message, (size_t)length);
    errno = error;
    return 1;
}

#define REAL(type, name, ...)                                                                      \
    static type (*real)(__VA_ARGS__);                                                              \
    if (!real)                                                                                     \
    nextSymbol(&real, name)

ssize_t write(int fd, const void *buffer, size_t count)
{
    REAL(ssize_t, "write", int, const void *, size_t);
    if (shouldFail(callWrite, fd, NULL))
        return -1;
    return real(fd, buffer, count);
}

int fsync(int fd)
{
    REAL(int, "fsync", int);
    if (shouldFail(callFsync, fd, NULL))
        return -1;
    return real(fd);
}

int fdatasync(int fd)
{
    REAL(int, "fdatasync", int);
    if (shouldFail(callFdatasync, fd, NULL))
        return -1;
    return real(fd);
}

int rename(const char *from, const char *to)
{
    REAL(int, "rename", const char *, const char *);
    if (shouldFail(callRename, -1, to))
        return -1;
    return real(from, to);
}

/* Relative names are taken as they come: the tests pass absolute ones. */
int renameat(int fromFolder, const char *from, int toFolder, const char *to)
{
    REAL(int, "renameat", int, const char *, int, const char *);
    if (shouldFail(callRename, -1, to))
        return -1;
    return real(fromFolder, from, toFolder, to);
}

int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned int flags)
{
    REAL(int, "renameat2", int, const char *, int, const char *, unsigned int);
    if (shouldFail(callRename, -1, to))
        return -1;
    return real(fromFolder, from, toFolder, to, flags);
}

/* Linux frees the descriptor even when close fails, so the failure comes after
 * the real close: a caller that retried would close someone else's file. */
int close(int fd)
{
    REAL(int, "close", int);
    const int fail = shouldFail(callClose, fd, NULL);
    const int result = real(fd);
    if (fail) {
        errno = atomic_load(&injectedErrno);
        return -1;
    }
    return result;
}
