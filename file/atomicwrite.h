#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

struct WriteError
{
    int code = 0; // errno of the step that failed
    QString message; // English, names the file and the reason
};

// Replaces the file at `path` with exactly `data`, or leaves it byte for byte as it
// was. A symbolic link stays a link: its final target is the file replaced, unless
// the link lies in a shared sticky folder and belongs to someone else (EACCES). The
// new file keeps the old one's permission bits and, where allowed, its owner and
// group. Only a regular file is replaced (EINVAL otherwise, EISDIR for a folder).
// A file with several names, or in a folder the user cannot write, is rewritten in
// place instead, so that it keeps its identity: the space is reserved first, so a
// full disk still leaves it as it was, but a crash part-way can leave it mixed.
// Returns std::nullopt on success.
std::optional<WriteError> writeFileAtomically(const QString &path, QByteArrayView data);
