#include "cli/opmlformat.h"

#include "cli/console.h"
#include "cli/displaytext.h"
#include "cli/treewalk.h"
#include "document/lineends.h"
#include "document/outline.h"

#include <QIODevice>
#include <QXmlStreamWriter>

namespace {

// Hands on what the XML writer produces as it comes; the console checks the writes.
class ConsoleDevice : public QIODevice
{
public:
    explicit ConsoleDevice(Console &console) : m_console(console) { open(WriteOnly | Unbuffered); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_console.write(QByteArrayView(data, size));
        return size;
    }

private:
    Console &m_console;
};

} // namespace

void writeAsOpml(const Outline &outline, const QString &documentTitle, Console &console)
{
    ConsoleDevice device(console);
    QXmlStreamWriter xml(&device);
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
                    xml.writeAttribute(
                            QStringLiteral("_note"),
                            displaytext::xmlSafe(withLfLineEnds(body, LoneCr::EndsLine)));
                if (category->checked())
                    xml.writeAttribute(QStringLiteral("_status"), QStringLiteral("checked"));
            },
            [&](const Category *, int) { xml.writeEndElement(); });
    xml.writeEndDocument();
}
