#include "cli/jsonformat.h"

#include "cli/console.h"
#include "cli/treewalk.h"
#include "document/outline.h"

namespace {

void appendHexEscape(QByteArray &out, char16_t unit)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(unit >> shift) & 0xF];
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// UTF-16 to a JSON string literal by hand: QString::toUtf8() would turn a
// lone surrogate into a replacement character and lose the byte it stands for.
void appendString(QByteArray &out, QStringView text)
{
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'"': out += "\\\""; continue;
        case u'\\': out += "\\\\"; continue;
        case u'\b': out += "\\b"; continue;
        case u'\f': out += "\\f"; continue;
        case u'\n': out += "\\n"; continue;
        case u'\r': out += "\\r"; continue;
        case u'\t': out += "\\t"; continue;
        default: break;
        }
        const bool pair =
                QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        // DEL and the C1 controls too, so that the output is safe to look at
        // on a terminal; a lone surrogate has no UTF-8 form.
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (QChar::isSurrogate(c) && !pair)) {
            appendHexEscape(out, c);
        } else if (pair) {
            appendUtf8(out, QChar::surrogateToUcs4(c, text[++i].unicode()));
        } else {
            appendUtf8(out, c);
        }
    }
    out += '"';
}

void appendIndent(QByteArray &out, int level)
{
    out.append(qsizetype(level) * 2, ' ');
}

void appendMember(QByteArray &out, int level, const char *name)
{
    appendIndent(out, level);
    out += '"';
    out += name;
    out += "\": ";
}

} // namespace

void writeAsJson(const Outline &outline, Console &console)
{
    // One category's text at a time, so the whole never has to be held.
    QByteArray out;
    const auto writeOut = [&] {
        console.write(out);
        out.resize(0);
    };
    out += "{\n";
    appendMember(out, 1, "keyCounter");
    out += QByteArray::number(outline.KeyCounter);
    out += ",\n";

    // A category at depth d has its members at level 2 + 2d: the document
    // object and the root member come first, then one array and one object
    // per level. Each object ends without a line end, so that the next
    // sibling can put its comma right after the brace.
    walkTree(
            outline.root(),
            [&](const Category *category, int depth) {
                const int level = 2 + 2 * depth;
                if (depth == 0) {
                    appendMember(out, 1, "root");
                    out += "{\n";
                } else {
                    if (category->row() > 0)
                        out += ",\n";
                    appendIndent(out, level - 1);
                    out += "{\n";
                }
                appendMember(out, level, "key");
                appendString(out, category->key());
                out += ",\n";
                appendMember(out, level, "title");
                appendString(out, category->title());
                out += ",\n";
                appendMember(out, level, "checked");
                out += category->checked() ? "true" : "false";
                out += ",\n";
                appendMember(out, level, "image");
                out += QByteArray::number(category->image());
                out += ",\n";
                appendMember(out, level, "body");
                appendString(out, outline.TextData[size_t(category->keyNumber())]);
                out += ",\n";
                appendMember(out, level, "children");
                out += category->childCount() == 0 ? "[]\n" : "[\n";
                writeOut();
            },
            [&](const Category *category, int depth) {
                const int level = 2 + 2 * depth;
                if (category->childCount() > 0) {
                    out += '\n';
                    appendIndent(out, level);
                    out += "]\n";
                }
                appendIndent(out, level - 1);
                out += '}';
                writeOut();
            });
    out += "\n}\n";
    writeOut();
}
