#include "cli/readbackcheck.h"

#include "cli/displaytext.h"
#include "document/outline.h"
#include "file/outlinewriter.h"

#include <algorithm>

namespace {

QString parentKey(const Category *category)
{
    return category->parent() ? category->parent()->key() : QString();
}

const QString &body(const Outline &outline, const Category *category)
{
    return outline.TextData[size_t(category->keyNumber())];
}

} // namespace

std::optional<QString> firstReadBackDifference(const Outline &meant, const Outline &read)
{
    const int common = std::min(meant.count(), read.count());
    for (int i = 1; i <= common; ++i) {
        const Category *expected = meant.item(i);
        const Category *actual = read.item(i);
        const QString where =
                QStringLiteral("category %1 \"%2\": ")
                        .arg(expected->key(), displaytext::oneLine(expected->title()));
        if (actual->key() != expected->key())
            return where + QStringLiteral("read back as category %1").arg(actual->key());
        if (parentKey(actual) != parentKey(expected))
            return where + QStringLiteral("read back under \"%1\"").arg(parentKey(actual));
        if (actual->row() != expected->row())
            return where + QStringLiteral("read back at another place among its siblings");
        if (actual->title() != titleAsRead(expected->title()))
            return where + QStringLiteral("the title differs");
        if (actual->checked() != expected->checked())
            return where + QStringLiteral("the mark differs");
        if (body(read, actual) != bodyAsRead(body(meant, expected)))
            return where + QStringLiteral("the body differs");
    }
    if (read.count() != meant.count())
        return QStringLiteral("%1 categories instead of %2").arg(read.count()).arg(meant.count());
    return std::nullopt;
}
