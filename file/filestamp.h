#pragma once

#include <QString>
#include <QtGlobal>

// What the file system says about a file at one moment: enough to tell that
// another program wrote or replaced it since. A save that replaces the file
// gives it a new inode, so editors that save the same way are seen too.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;

    // Follows symbolic links, as saving replaces a link's final target.
    // A file that cannot be looked at counts as missing.
    static FileStamp of(const QString &path);
};
