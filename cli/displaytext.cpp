#include "cli/displaytext.h"

namespace displaytext {

namespace {

template<typename Forbidden>
QString replaced(QStringView text, Forbidden forbidden)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate() || forbidden(c.unicode())) {
            out += QChar(Replacement);
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString withoutLoneSurrogates(QStringView text)
{
    return replaced(text, [](char16_t) { return false; });
}

QString xmlSafe(QStringView text)
{
    return replaced(text, [](char16_t c) {
        return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
    });
}

QString oneLine(QStringView title)
{
    QString line = withLfLineEnds(title);
    line.replace(u'\n', u' ');
    return line;
}

QStringList bodyLines(QStringView body)
{
    if (body.isEmpty())
        return {};
    return withLfLineEnds(body).split(u'\n');
}

QString withLfLineEnds(QStringView text)
{
    QString out = text.toString();
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

} // namespace displaytext
