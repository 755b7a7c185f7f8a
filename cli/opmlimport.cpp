#include "cli/opmlimport.h"

#include "document/categorycommands.h"
#include "document/lineends.h"

#include <QXmlStreamReader>

#include <vector>

namespace {

bool isChecked(const QXmlStreamAttributes &attributes)
{
    return attributes.value(QLatin1StringView("_status")).compare(u"checked", Qt::CaseInsensitive)
            == 0
            || attributes.value(QLatin1StringView("_complete"))
                       .compare(u"true", Qt::CaseInsensitive)
            == 0;
}

OpmlImportResult failure(int line, const QString &message)
{
    OpmlImportResult result;
    result.error = OpmlImportError{line, message};
    return result;
}

} // namespace

OpmlImportResult importOpml(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    OpmlImportResult result;
    Outline &outline = result.outline;
    // The enclosing outline elements; a null entry stands for one that was
    // counted but not built because the limit was already passed.
    std::vector<Category *> open;
    int count = 0;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && reader.name() == u"outline") {
            ++count;
            Category *category = nullptr;
            // Past the limit the rest is only parsed, to count and to find
            // malformed XML, which is reported first.
            if (count <= KeyCounterLimit) {
                const QXmlStreamAttributes attributes = reader.attributes();
                const QString key = Outline::keyText(count - 1);
                const QString title = attributes.value(QLatin1StringView("text")).toString();
                if (!outline.root())
                    category = outline.addTopLevel(key, title);
                else
                    category = outline.addChild(open.empty() ? outline.root() : open.back(), key,
                                                title);
                outline.setChecked(category, isChecked(attributes));
                outline.TextData[size_t(count - 1)] = withCrLfLineEnds(withLfLineEnds(
                        attributes.value(QLatin1StringView("_note")), LoneCr::EndsLine));
                outline.KeyCounter = count;
            }
            open.push_back(category);
        } else if (token == QXmlStreamReader::EndElement && reader.name() == u"outline"
                   && !open.empty()) {
            open.pop_back();
        }
    }
    if (reader.hasError())
        return failure(int(reader.lineNumber()),
                       QStringLiteral("malformed XML: %1").arg(reader.errorString()));
    if (count == 0)
        return failure(0, QStringLiteral("no outline element"));
    if (count > KeyCounterLimit)
        return failure(0,
                       QStringLiteral("%1 outline elements, but an outline holds at most %2 "
                                      "categories (keys C0 to C%3)")
                               .arg(count)
                               .arg(KeyCounterLimit)
                               .arg(KeyCounterLimit - 1));
    return result;
}
