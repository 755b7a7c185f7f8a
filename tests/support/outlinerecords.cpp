#include "tests/support/outlinerecords.h"

#include <QStringBuilder>

namespace outlinerecords {

QByteArray record(QByteArrayView key, QByteArrayView parent, QByteArrayView title,
                  QByteArrayView checked, std::initializer_list<QByteArrayView> bodyLines)
{
    QByteArray out = "SORVEKA_KEY=" + key.toByteArray() + "\r\n";
    if (!parent.isEmpty())
        out += "SORVEKA_PARENT=" + parent.toByteArray() + "\r\n";
    out += "SORVEKA_TITLE=" + title.toByteArray() + "\r\n";
    out += "SORVEKA_CHECKED=" + checked.toByteArray() + "\r\n";
    out += "SORVEKA_DATA_CHECK_MARK\r\n";
    for (QByteArrayView line : bodyLines)
        out += line.toByteArray() + "\r\n";
    out += "SORVEKA_END_CHECK_MARK\r\n\r\n";
    return out;
}

QByteArray record(QByteArrayView key, QByteArrayView parent, QByteArrayView checked)
{
    const QByteArray title = "t" + key.toByteArray();
    const QByteArray body = "b" + key.toByteArray();
    return record(key, parent, title, checked, {body});
}

} // namespace outlinerecords
