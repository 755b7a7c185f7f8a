#include "samplefiles.h"

#include "document/outline.h"
#include "file/outlinewriter.h"

#include <QFile>

namespace samplefiles {

bool writeTrip(const QString &path)
{
    Outline outline;
    Category *root = outline.addTopLevel(QStringLiteral("C0"), QStringLiteral("旅行"));
    Category *packing = outline.addChild(root, QStringLiteral("C1"), QStringLiteral("荷造り"));
    Category *tickets = outline.addChild(root, QStringLiteral("C2"), QStringLiteral("切符"));
    outline.addChild(packing, QStringLiteral("C3"), QStringLiteral("予定表"));
    outline.addChild(root, QStringLiteral("C4"), QStringLiteral("メモ"));
    outline.setChecked(tickets, true);
    outline.TextData[0] = QStringLiteral("金曜日に出発。");
    outline.TextData[1] = QStringLiteral("カメラ\r\n傘");
    outline.TextData[3] = QStringLiteral("①ｱｲｳ");
    outline.TextData[4] = QStringLiteral("x");
    return writeBytes(path, writeOutline(outline));
}

bool writeFailingPartWay(const QString &path)
{
    return writeBytes(path,
                      "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=Root\r\nSORVEKA_CHECKED=False\r\n"
                      "SORVEKA_DATA_CHECK_MARK\r\nroot body\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"
                      "SORVEKA_KEY=C1\r\nSORVEKA_PARENT=C0\r\nSORVEKA_TITLE=First\r\n"
                      "SORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\n"
                      "SORVEKA_END_CHECK_MARK\r\n\r\n"
                      "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C9\r\nSORVEKA_TITLE=Orphan\r\n"
                      "SORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\n"
                      "SORVEKA_END_CHECK_MARK\r\n");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace samplefiles
