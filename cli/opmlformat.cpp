#include "cli/opmlformat.h"

#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/outline.h"

#include <QXmlStreamWriter>

QByteArray formatAsOpml(const Outline &outline, const QString &documentTitle)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("opml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("head"));
    xml.writeTextElement(QStringLiteral("title"), displaytext::xmlSafe(documentTitle));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("body"));
    walkTree(
            outline.root(),
            [&](const Category *category, int) {
                xml.writeStartElement(QStringLiteral("outline"));
                xml.writeAttribute(QStringLiteral("text"), displaytext::xmlSafe(category->title()));
                const QString &body = outline.TextData[size_t(category->keyNumber())];
                if (!body.isEmpty())
                    xml.writeAttribute(QStringLiteral("_note"),
                                       displaytext::xmlSafe(displaytext::withLfLineEnds(body)));
                if (category->checked())
                    xml.writeAttribute(QStringLiteral("_status"), QStringLiteral("checked"));
            },
            [&](const Category *, int) { xml.writeEndElement(); });
    xml.writeEndDocument();
    return out;
}
