#include "cli/markdownformat.h"

#include "cli/console.h"
#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/outline.h"

void writeAsMarkdown(const Outline &outline, Console &console)
{
    const auto writeLine = [&](const QString &line) {
        console.write(displaytext::forTerminal(line).toUtf8());
    };
    walkTree(
            outline.root(),
            [&](const Category *category, int depth) {
                // Hundreds of megabytes can follow a failed write: none of it is built.
                if (console.outputFailed())
                    return;
                const QString indent(qsizetype(depth) * 2, u' ');
                const QString mark =
                        category->checked() ? QStringLiteral("- [x] ") : QStringLiteral("- [ ] ");
                writeLine(indent + mark + displaytext::oneLine(category->title()) + u'\n');
                // The item's text starts after "- ".
                const QString bodyIndent = indent + QStringLiteral("  ");
                const QString &body = outline.TextData[size_t(category->keyNumber())];
                for (const QString &line : displaytext::bodyLines(body))
                    writeLine(line.isEmpty() ? QStringLiteral("\n") : bodyIndent + line + u'\n');
            },
            [](const Category *, int) {});
}
