#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small file helpers the tests share.
namespace files {

bool writeBytes(const QString &path, const QByteArray &bytes);
// A missing file reads as a sentinel no test writes, so it never compares
// equal to any expected content, empty included.
QByteArray bytesOf(const QString &path);
// Every name in the folder, hidden ones too, sorted.
QStringList entriesOf(const QString &folder);

} // namespace files
