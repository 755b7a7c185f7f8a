#include "cli/textformat.h"

#include "cli/console.h"
#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/outline.h"

void writeAsText(const Outline &outline, Console &console)
{
    walkTree(
            outline.root(),
            [&](const Category *category, int depth) {
                QString line(qsizetype(depth) * 2, u' ');
                if (category->checked())
                    line += u"\u2713 ";
                line += displaytext::oneLine(category->title());
                line += u'\n';
                console.write(displaytext::forTerminal(line).toUtf8());
            },
            [](const Category *, int) {});
}
