#include "cli/readbackcheck.h"

#include "cli/displaytext.h"
#include "document/outline.h"
#include "file/cp932.h"

#include <algorithm>

namespace {

// One "?" for each character the code page has no code for; a surrogate
// pair is one character.
QString asStored(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t pair = QChar::surrogateToUcs4(c, text[++i]);
            out += cp932::isEncodable(pair) ? QString::fromUcs4(&pair, 1) : QStringLiteral("?");
        } else {
            out += cp932::isEncodable(c.unicode()) ? c : QChar(u'?');
        }
    }
    return out;
}

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
                QStringLiteral("category %1 \"%2\": ").arg(expected->key(), displaytext::oneLine(expected->title()));
        if (actual->key() != expected->key())
            return where + QStringLiteral("read back as category %1").arg(actual->key());
        if (parentKey(actual) != parentKey(expected))
            return where + QStringLiteral("read back under \"%1\"").arg(parentKey(actual));
        if (actual->row() != expected->row())
            return where + QStringLiteral("read back at another place among its siblings");
        if (actual->title() != asStored(displaytext::oneLine(expected->title())))
            return where + QStringLiteral("the title differs");
        if (actual->checked() != expected->checked())
            return where + QStringLiteral("the mark differs");
        if (body(read, actual) != asStored(body(meant, expected)))
            return where + QStringLiteral("the body differs");
    }
    if (read.count() != meant.count())
        return QStringLiteral("%1 categories instead of %2").arg(read.count()).arg(meant.count());
    return std::nullopt;
}
