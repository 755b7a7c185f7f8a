#include "cli/markdownformat.h"

#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/outline.h"

QByteArray formatAsMarkdown(const Outline &outline)
{
    QString out;
    walkTree(
            outline.root(),
            [&](const Category *category, int depth) {
                const QString indent(depth * 2, u' ');
                out += indent;
                out += category->checked() ? u"- [x] " : u"- [ ] ";
                out += displaytext::oneLine(category->title());
                out += u'\n';
                // The item's text starts after "- ".
                const QString bodyIndent = indent + QStringLiteral("  ");
                const QString &body = outline.TextData[size_t(category->keyNumber())];
                for (const QString &line : displaytext::bodyLines(body)) {
                    if (!line.isEmpty())
                        out += bodyIndent + line;
                    out += u'\n';
                }
            },
            [](const Category *, int) {});
    return displaytext::withoutLoneSurrogates(out).toUtf8();
}
