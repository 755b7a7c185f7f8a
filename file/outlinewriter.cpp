#include "file/outlinewriter.h"

#include "document/lineends.h"
#include "file/cp932.h"
#include "file/keywords.h"

#include <queue>
#include <vector>

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
    for (qsizetype i = body.indexOf(keywords::BodyEnd); i > 0;
         i = body.indexOf(keywords::BodyEnd, i + 1)) {
        if (body[i - 1] == u'\r' || (body[i - 1] == u'\n' && i >= 2 && body[i - 2] == u'\r'))
            return true;
    }
    return false;
}

bool hasLoneCr(QStringView text)
{
    for (qsizetype i = text.indexOf(u'\r'); i >= 0; i = text.indexOf(u'\r', i + 1)) {
        if (i + 1 == text.size() || text[i + 1] != u'\n')
            return true;
    }
    return false;
}

struct ReadBack
{
    QList<char32_t> unencodable;
    QString changed; // as in UnstorableText::readsBackAs
};

// What `text` reads back as, once written. Text that plainly comes back
// unchanged costs one table look-up per character; the rest is written and
// read back in memory to find out.
QString asRead(const QString &text, bool isBody)
{
    if (cp932::readsBackExactly(text) && !(isBody && hasLoneCr(text)))
        return text;
    QString decoded = cp932::decode(cp932::encode(text));
    // As the reader joins body lines: a lone CR ends a line like CR LF does.
    return isBody ? withLoneCrAsCrLf(std::move(decoded)) : decoded;
}

// Compares what `text` reads back as, once written, with the text itself.
ReadBack readBack(const QString &text, bool isBody)
{
    const QString decoded = asRead(text, isBody);
    if (decoded == text)
        return {};
    ReadBack result;
    result.unencodable = cp932::unencodable(text);
    const QString expected =
            result.unencodable.isEmpty() ? text : cp932::withUnencodableReplaced(text);
    if (decoded == expected)
        return result;
    qsizetype at = 0;
    while (at < decoded.size() && at < expected.size() && decoded[at] == expected[at])
        ++at;
    constexpr qsizetype context = 8;
    const qsizetype from = std::max<qsizetype>(0, at - context);
    result.changed = decoded.mid(from, at - from + context);
    return result;
}

// Records in collection order, except where that would put a category before
// an older sibling it was created in front of: the reader appends each
// category to its parent's children, so siblings must come in tree order.
// Every parent comes before its children either way. Of the categories whose
// parent and previous sibling are written, the earliest in the collection
// comes next, so an outline without such creations keeps collection order.
std::vector<const Category *> writeOrder(const Outline &outline)
{
    std::vector<const Category *> order;
    if (!outline.root())
        return order;
    order.reserve(size_t(outline.count()));
    const auto later = [](const Category *a, const Category *b) { return a->index() > b->index(); };
    std::priority_queue<const Category *, std::vector<const Category *>, decltype(later)> ready(
            later);
    ready.push(outline.root());
    while (!ready.empty()) {
        const Category *category = ready.top();
        ready.pop();
        order.push_back(category);
        if (const Category *first = category->child())
            ready.push(first);
        if (const Category *next = category->next())
            ready.push(next);
    }
    return order;
}

} // namespace

QString titleAsWritten(const QString &title)
{
    if (!title.contains(u'\r'))
        return title;
    return QString(title).replace(u'\r', u' ');
}

QString titleAsRead(const QString &title)
{
    return asRead(titleAsWritten(title), false);
}

QString bodyAsRead(const QString &body)
{
    return asRead(body, true);
}

QByteArray writeOutline(const Outline &outline)
{
    qsizetype bodySize = 0;
    for (int i = 1; i <= outline.count(); ++i)
        bodySize += outline.TextData[size_t(outline.item(i)->keyNumber())].size();
    QByteArray out;
    out.reserve(bodySize * 2 + qsizetype(outline.count()) * 160);

    for (const Category *category : writeOrder(outline)) {
        appendLine(out, keywords::Key, category->key());
        if (category->parent())
            appendLine(out, keywords::Parent, category->parent()->key());
        appendLine(out, keywords::Title, titleAsWritten(category->title()));
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
        const ReadBack title = readBack(titleAsWritten(category->title()), false);
        const ReadBack bodyBack = readBack(body, true);
        UnstorableText text;
        text.category = category;
        text.characters = title.unencodable;
        for (char32_t c : bodyBack.unencodable)
            if (!text.characters.contains(c))
                text.characters.append(c);
        text.titleHasLineBreak = category->title().contains(u'\r');
        text.bodyHasEndMarkLine = hasEndMarkLine(body);
        for (const QString &changed : {title.changed, bodyBack.changed})
            if (!changed.isEmpty())
                text.readsBackAs.append(changed);
        if (!text.characters.isEmpty() || text.titleHasLineBreak || text.bodyHasEndMarkLine
            || !text.readsBackAs.isEmpty())
            found.append(text);
    }
    return found;
}
