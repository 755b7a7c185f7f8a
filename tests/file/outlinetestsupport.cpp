#include "outlinetestsupport.h"

#include <QFile>

namespace outlinetest {

QByteArray crlfLines(std::initializer_list<QByteArrayView> lines)
{
    QByteArray bytes;
    for (QByteArrayView line : lines)
        bytes += line.toByteArray() + "\r\n";
    return bytes;
}

QString fixturePath(const QString &name)
{
    return QStringLiteral(FIXTURES_DIR) + u'/' + name;
}

QByteArray fixture(const QString &name)
{
    QFile file(fixturePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

} // namespace outlinetest
