#include "outlinetestsupport.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace outlinetest {

Outline build(std::initializer_list<CategoryRecipe> categories)
{
    Outline outline;
    for (const CategoryRecipe &recipe : categories) {
        Category *category = recipe.parentKey.isEmpty()
                ? outline.addTopLevel(recipe.key, recipe.title)
                : outline.addChild(outline.item(recipe.parentKey), recipe.key, recipe.title);
        Q_ASSERT(category);
        outline.setChecked(category, recipe.checked);
        outline.TextData[size_t(category->keyNumber())] = recipe.body;
        outline.KeyCounter = std::max(outline.KeyCounter, category->keyNumber() + 1);
    }
    return outline;
}

static QString escaped(QString text)
{
    text.replace(u'\r', u"\\r"_s);
    text.replace(u'\n', u"\\n"_s);
    return text;
}

QStringList describe(const Outline &outline)
{
    QStringList lines;
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *c = outline.item(i);
        QString line = c->key();
        if (c->parent())
            line += u" under "_s + c->parent()->key();
        line += u" \""_s + c->title() + u'"';
        if (c->checked())
            line += u" checked"_s;
        line += u" img "_s + QString::number(c->image());
        if (c->expanded())
            line += u" open"_s;
        line += u" body \""_s + escaped(outline.TextData[size_t(c->keyNumber())]) + u'"';
        lines.append(line);
    }
    return lines;
}

static QString shapeOf(const Category *category)
{
    QString text = category->key();
    if (category->childCount() == 0)
        return text;
    QStringList children;
    for (const Category *child : category->children())
        children.append(shapeOf(child));
    return text + u'(' + children.join(u' ') + u')';
}

QString shape(const Outline &outline)
{
    QStringList top;
    for (const Category *category : outline.topLevel())
        top.append(shapeOf(category));
    return top.join(u' ');
}

QByteArray crlfLines(std::initializer_list<QByteArrayView> lines)
{
    QByteArray bytes;
    for (QByteArrayView line : lines)
        bytes += line.toByteArray() + "\r\n";
    return bytes;
}

QByteArray record(QByteArrayView key, QByteArrayView parentKey, QByteArrayView checked)
{
    QByteArray bytes = "SORVEKA_KEY=" + key.toByteArray() + "\r\n";
    if (!parentKey.isEmpty())
        bytes += "SORVEKA_PARENT=" + parentKey.toByteArray() + "\r\n";
    bytes += "SORVEKA_TITLE=t" + key.toByteArray() + "\r\n";
    bytes += "SORVEKA_CHECKED=" + checked.toByteArray() + "\r\n";
    bytes += "SORVEKA_DATA_CHECK_MARK\r\nb" + key.toByteArray() + "\r\n";
    bytes += "SORVEKA_END_CHECK_MARK\r\n\r\n";
    return bytes;
}

QString fixturePath(const QString &name)
{
    return QStringLiteral(FIXTURES_DIR) + u'/' + name;
}

QByteArray fixture(const QString &name)
{
    QFile file(fixturePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

} // namespace outlinetest
