#include "file/filestamp.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    struct stat st = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, quint64(st.st_ino),
            quint64(st.st_dev)};
}
