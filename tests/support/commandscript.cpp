#include "tests/support/commandscript.h"

#include "document/categorycommands.h"
#include "document/checkmarks.h"
#include "document/document.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QString created(const Category *category)
{
    return category ? category->key() : u"none"_s;
}

QString done(bool yes)
{
    return yes ? u"yes"_s : u"no"_s;
}

} // namespace

QString runCommands(Document &document, const QString &script)
{
    QStringList results;
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        if (word.startsWith(u'@'))
            document.outline.select(document.outline.item(word.mid(1)));
        else if (word == u"below")
            results << created(createChildOfSelected(document));
        else if (word == u"front")
            results << created(createSiblingBeforeSelected(document));
        else if (word == u"delete")
            results << done(deleteSelectedCategory(document));
        else if (word == u"check")
            results << done(toggleSelectedMark(document));
        else
            results << u"?"_s;
    }
    return results.join(u' ');
}
