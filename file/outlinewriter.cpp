#include "file/outlinewriter.h"

#include "document/document.h"
#include "file/cp932.h"
#include "file/keywords.h"

namespace {

const QByteArray CrLf("\r\n");

void appendLine(QByteArray &out, const QString &keyword, const QString &value)
{
    out += cp932::encode(keyword);
    out += '=';
    out += cp932::encode(value);
    out += CrLf;
}

bool hasEndMarkLine(const QString &body)
{
    if (body.startsWith(keywords::BodyEnd))
        return true;
    // Any line start: after CR LF, after a lone CR, but not after a lone LF,
    // which stays inside its line.
    for (qsizetype i = body.indexOf(keywords::BodyEnd); i > 0; i = body.indexOf(keywords::BodyEnd, i + 1)) {
        if (body[i - 1] == u'\r' || (body[i - 1] == u'\n' && i >= 2 && body[i - 2] == u'\r'))
            return true;
    }
    return false;
}

} // namespace

QByteArray writeOutline(const Outline &outline)
{
    qsizetype bodySize = 0;
    for (int i = 1; i <= outline.count(); ++i)
        bodySize += outline.TextData[size_t(outline.item(i)->keyNumber())].size();
    QByteArray out;
    out.reserve(bodySize * 2 + outline.count() * 160);

    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        appendLine(out, keywords::Key, category->key());
        if (i != 1)
            appendLine(out, keywords::Parent, category->parent()->key());
        appendLine(out, keywords::Title, oneLineTitle(category->title()));
        appendLine(out, keywords::Checked,
                   category->checked() ? QStringLiteral("True") : QStringLiteral("False"));
        out += cp932::encode(keywords::BodyStart);
        out += CrLf;
        out += cp932::encode(outline.TextData[size_t(category->keyNumber())]);
        out += CrLf;
        out += cp932::encode(keywords::BodyEnd);
        out += CrLf;
        out += CrLf;
    }
    return out;
}

QList<UnstorableText> findUnstorableText(const Outline &outline)
{
    QList<UnstorableText> found;
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        const QString &body = outline.TextData[size_t(category->keyNumber())];
        UnstorableText text;
        text.category = category;
        text.characters = cp932::unencodable(category->title());
        for (char32_t c : cp932::unencodable(body))
            if (!text.characters.contains(c))
                text.characters.append(c);
        text.titleHasLineBreak = category->title().contains(u'\r') || category->title().contains(u'\n');
        text.bodyHasEndMarkLine = hasEndMarkLine(body);
        if (!text.characters.isEmpty() || text.titleHasLineBreak || text.bodyHasEndMarkLine)
            found.append(text);
    }
    return found;
}
