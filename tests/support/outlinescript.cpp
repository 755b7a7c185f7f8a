#include "tests/support/outlinescript.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace outlinescript {

namespace {

QStringList tokens(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

void printSubtree(const Category *category, QString &out)
{
    out += category->key();
    if (category->childCount() == 0)
        return;
    out += u'(';
    for (const Category *child = category->child(); child; child = child->next()) {
        if (child != category->child())
            out += u' ';
        printSubtree(child, out);
    }
    out += u')';
}

} // namespace

QString build(Outline &outline, const QString &script)
{
    for (const QString &step : tokens(script)) {
        if (step.startsWith(u'-')) {
            Category *gone = outline.item(step.mid(1));
            if (!gone)
                return u"no category to remove in "_s + step;
            outline.remove(gone);
            continue;
        }
        const qsizetype at = std::max(step.indexOf(u'>'), step.indexOf(u'<'));
        Category *added = nullptr;
        if (at < 0) {
            added = outline.addTopLevel(step, u"title "_s + step);
        } else {
            const QString key = step.left(at);
            Category *relative = outline.item(step.mid(at + 1));
            if (!relative)
                return u"no relative in "_s + step;
            added = step[at] == u'>' ? outline.addChild(relative, key, u"title "_s + key)
                                     : outline.addPrevious(relative, key, u"title "_s + key);
        }
        if (!added)
            return u"refused: "_s + step;
    }
    int highest = -1;
    for (int i = 1; i <= outline.count(); ++i) {
        Category *category = outline.item(i);
        highest = std::max(highest, category->keyNumber());
        const bool parent = category->childCount() > 0;
        outline.setImage(category, parent ? 2 : 3);
        outline.setExpanded(category, parent);
    }
    outline.KeyCounter = highest + 1;
    return {};
}

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

QString treeOrder(const Outline &outline)
{
    QString out;
    for (const Category *top : outline.topLevel()) {
        if (!out.isEmpty())
            out += u' ';
        printSubtree(top, out);
    }
    return out;
}

QString collectionOrder(const Outline &outline)
{
    QStringList keys;
    for (int i = 1; i <= outline.count(); ++i)
        keys << outline.item(i)->key();
    return keys.join(u' ');
}

QString marks(const Outline &outline)
{
    QStringList out;
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        out << category->key() + u':' + QString::number(category->image())
                        + (category->checked() ? u'+' : u'-');
    }
    return out.join(u' ');
}

QString setMarks(Outline &outline, const QString &marks)
{
    for (const QString &mark : tokens(marks)) {
        const qsizetype colon = mark.indexOf(u':');
        Category *category = colon > 0 ? outline.item(mark.left(colon)) : nullptr;
        bool ok = false;
        const int image = mark.mid(colon + 1).chopped(1).toInt(&ok);
        if (!category || !ok || (!mark.endsWith(u'+') && !mark.endsWith(u'-')))
            return u"bad mark "_s + mark;
        outline.setImage(category, image);
        outline.setChecked(category, mark.endsWith(u'+'));
        if (image == 1 || image == 4)
            outline.setExpanded(category, false);
        else if (image == 2 || image == 5)
            outline.setExpanded(category, true);
    }
    return {};
}

QString expandedKeys(const Outline &outline)
{
    QStringList keys;
    for (int i = 1; i <= outline.count(); ++i) {
        if (outline.item(i)->expanded())
            keys << outline.item(i)->key();
    }
    return keys.join(u' ');
}

QStringList describe(const Outline &outline)
{
    const auto escaped = [](QString text) {
        text.replace(u'\r', u"\\r"_s);
        text.replace(u'\n', u"\\n"_s);
        return text;
    };
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

QString structureProblems(const Outline &outline)
{
    if (outline.item(0) || outline.item(outline.count() + 1))
        return u"a position outside 1..count found a category"_s;
    if (outline.count() > 0 && outline.root() != outline.item(1))
        return u"the root is not at Index 1"_s;

    int reachable = 0;
    std::vector<const Category *> pending;
    for (size_t row = 0; row < outline.topLevel().size(); ++row) {
        const Category *top = outline.topLevel()[row];
        if (top->parent() || top->row() != int(row))
            return u"top-level "_s + top->key() + u" has a parent or a wrong row"_s;
        pending.push_back(top);
    }
    while (!pending.empty()) {
        const Category *category = pending.back();
        pending.pop_back();
        ++reachable;
        const QString key = category->key();
        if (outline.item(category->index()) != category)
            return key + u": Index does not find it"_s;
        if (outline.item(key) != category)
            return key + u": its key does not find it"_s;
        if (category->parent() && category->parent()->index() >= category->index())
            return key + u": comes before its parent in collection order"_s;
        const auto &children = category->children();
        if (category->child() != (children.empty() ? nullptr : children.front()))
            return key + u": Child is not the first child"_s;
        for (size_t row = 0; row < children.size(); ++row) {
            const Category *child = children[row];
            const Category *expectedNext = row + 1 < children.size() ? children[row + 1] : nullptr;
            if (child->parent() != category)
                return child->key() + u": wrong parent"_s;
            if (child->row() != int(row))
                return child->key() + u": row "_s + QString::number(child->row())
                        + u" at position "_s + QString::number(row);
            if (child->next() != expectedNext)
                return child->key() + u": Next is not the following sibling"_s;
            pending.push_back(child);
        }
    }
    if (reachable != outline.count())
        return u"count is "_s + QString::number(outline.count()) + u" but the tree holds "_s
                + QString::number(reachable);
    return {};
}

} // namespace outlinescript
