#include "tests/support/recordingobserver.h"

#include "document/outline.h"
#include "tests/support/outlinescript.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString keyOf(const Category *category)
{
    return category ? category->key() : u"-"_s;
}

} // namespace

RecordingObserver::RecordingObserver(Outline &outline) : m_outline(outline)
{
    m_outline.setObserver(this);
}

RecordingObserver::~RecordingObserver()
{
    m_outline.setObserver(nullptr);
}

QStringList RecordingObserver::problems() const
{
    QStringList all = m_problems;
    if (m_pending != Pending::None)
        all << u"an announcement was never completed"_s;
    return all;
}

int RecordingObserver::siblingCount(const Category *parent) const
{
    return parent ? parent->childCount() : int(m_outline.topLevel().size());
}

void RecordingObserver::expectIdle(const QString &what)
{
    if (m_pending != Pending::None)
        m_problems << what + u" announced in the middle of another change"_s;
}

void RecordingObserver::checkStructure(const QString &when)
{
    const QString problem = outlinescript::structureProblems(m_outline);
    if (!problem.isEmpty())
        m_problems << when + u": "_s + problem;
}

void RecordingObserver::categoryAboutToBeAdded(Category *parent, int row)
{
    expectIdle(u"add"_s);
    checkStructure(u"before add"_s);
    if (row < 0 || row > siblingCount(parent))
        m_problems << u"add announced at row "_s + QString::number(row) + u" of "_s + keyOf(parent);
    m_pending = Pending::Add;
    m_parent = parent;
    m_parentKey = keyOf(parent);
    m_row = row;
    m_siblingsBefore = siblingCount(parent);
    m_countBefore = m_outline.count();
}

void RecordingObserver::categoryAdded(Category *category)
{
    if (m_pending != Pending::Add) {
        m_problems << u"added without announcement: "_s + keyOf(category);
        return;
    }
    m_pending = Pending::None;
    const QString entry =
            u"add "_s + keyOf(category) + u" to "_s + m_parentKey + u'@' + QString::number(m_row);
    if (!category || category->parent() != m_parent || category->row() != m_row)
        m_problems << entry + u": placed elsewhere than announced"_s;
    if (siblingCount(m_parent) != m_siblingsBefore + 1 || m_outline.count() != m_countBefore + 1)
        m_problems << entry + u": counts did not grow by one"_s;
    if (category && category->index() != m_outline.count())
        m_problems << entry + u": not last in collection order"_s;
    checkStructure(u"after "_s + entry);
    structure << entry;
}

void RecordingObserver::categoryAboutToBeRemoved(Category *category)
{
    expectIdle(u"remove"_s);
    checkStructure(u"before remove"_s);
    m_pending = Pending::Remove;
    m_parent = category->parent();
    m_parentKey = keyOf(m_parent);
    m_key = category->key();
    m_row = category->row();
    m_siblingsBefore = siblingCount(m_parent);
    m_countBefore = m_outline.count();
    m_subtreeKeys.clear();
    std::vector<const Category *> walk{category};
    while (!walk.empty()) {
        const Category *c = walk.back();
        walk.pop_back();
        m_subtreeKeys << c->key();
        walk.insert(walk.end(), c->children().begin(), c->children().end());
    }
}

void RecordingObserver::categoryRemoved()
{
    if (m_pending != Pending::Remove) {
        m_problems << u"removed without announcement"_s;
        return;
    }
    m_pending = Pending::None;
    const QString entry = u"remove "_s + m_key + u" from "_s + m_parentKey + u'@'
            + QString::number(m_row) + u" with "_s + QString::number(m_subtreeKeys.size());
    if (siblingCount(m_parent) != m_siblingsBefore - 1)
        m_problems << entry + u": the parent did not lose one row"_s;
    if (m_outline.count() != m_countBefore - int(m_subtreeKeys.size()))
        m_problems << entry + u": count did not drop by the subtree"_s;
    for (const QString &key : std::as_const(m_subtreeKeys)) {
        if (m_outline.item(key))
            m_problems << entry + u": "_s + key + u" is still there"_s;
    }
    checkStructure(u"after "_s + entry);
    structure << entry;
}

void RecordingObserver::outlineAboutToBeReset()
{
    expectIdle(u"reset"_s);
    m_pending = Pending::Reset;
}

void RecordingObserver::outlineReset()
{
    if (m_pending != Pending::Reset)
        m_problems << u"reset without announcement"_s;
    m_pending = Pending::None;
    checkStructure(u"after reset"_s);
    structure << u"reset"_s;
}

void RecordingObserver::categoryChanged(Category *category, Change)
{
    expectIdle(u"change of "_s + keyOf(category));
    changes << keyOf(category);
}

void RecordingObserver::expansionChanged(Category *category)
{
    expectIdle(u"expansion of "_s + keyOf(category));
    expansions << keyOf(category) + (category->expanded() ? u'+' : u'-');
}

void RecordingObserver::selectionChanged(Category *selected)
{
    expectIdle(u"selection"_s);
    if (selected && m_outline.item(selected->key()) != selected)
        m_problems << u"selected a category that is not in the outline"_s;
    selections << keyOf(selected);
}

void RecordingObserver::madeVisible(Category *category)
{
    expectIdle(u"visibility"_s);
    for (const Category *a = category->parent(); a; a = a->parent()) {
        if (!a->expanded())
            m_problems << keyOf(category) + u" made visible under collapsed "_s + a->key();
    }
    visible << keyOf(category);
}
