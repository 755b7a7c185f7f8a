#include "cli/displaytext.h"

#include "document/lineends.h"

namespace displaytext {

namespace {

// Pairs are copied, lone surrogates become U+FFFD and every other unit is
// handed to `show`, which appends what stands for it.
template<typename Show> QString shown(QStringView text, Show show)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(Replacement);
        } else {
            show(out, c.unicode());
        }
    }
    return out;
}

bool drivesTerminal(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n') || (c >= 0x7F && c <= 0x9F);
}

} // namespace

QString forTerminal(QStringView text)
{
    return shown(text, [](QString &out, char16_t c) {
        if (drivesTerminal(c))
            out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QChar(u'0'));
        else
            out += QChar(c);
    });
}

QString xmlSafe(QStringView text)
{
    return shown(text, [](QString &out, char16_t c) {
        const bool forbidden =
                (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
        out += forbidden ? QChar(Replacement) : QChar(c);
    });
}

QString oneLine(QStringView title)
{
    QString line = withLfLineEnds(title, LoneCr::EndsLine);
    line.replace(u'\n', u' ');
    return line;
}

QStringList bodyLines(QStringView body)
{
    if (body.isEmpty())
        return {};
    return withLfLineEnds(body, LoneCr::EndsLine).split(u'\n');
}

} // namespace displaytext
