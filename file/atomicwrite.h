#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

struct WriteError
{
    int code = 0;    // errno of the step that failed
    QString message; // English, names the file and the reason
};

// Replaces the file at `path` with exactly `data`, or leaves it byte for byte as it
// was. A symbolic link stays a link: its final target is the file replaced. The new
// file keeps the old one's permission bits and, where allowed, its owner and group.
// Returns std::nullopt on success.
std::optional<WriteError> writeFileAtomically(const QString &path, QByteArrayView data);
