#include "cli/textformat.h"

#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/outline.h"

QByteArray formatAsText(const Outline &outline)
{
    QString out;
    walkTree(
            outline.root(),
            [&](const Category *category, int depth) {
                out += QString(depth * 2, u' ');
                if (category->checked())
                    out += u"\u2713 ";
                out += displaytext::oneLine(category->title());
                out += u'\n';
            },
            [](const Category *, int) {});
    return displaytext::withoutLoneSurrogates(out).toUtf8();
}
