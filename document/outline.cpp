#include "document/outline.h"

#include "document/outlineobserver.h"

#include <algorithm>

Category *Category::next() const
{
    if (!m_parent)
        return nullptr;
    const auto &siblings = m_parent->m_children;
    const size_t nextRow = size_t(m_row) + 1;
    return nextRow < siblings.size() ? siblings[nextRow] : nullptr;
}

Outline::Outline() = default;
Outline::~Outline() = default;

Outline::Outline(Outline &&other) noexcept
{
    *this = std::move(other);
}

Outline &Outline::operator=(Outline &&other) noexcept
{
    KeyCounter = other.KeyCounter;
    TextData = std::move(other.TextData);
    m_collection = std::move(other.m_collection);
    m_topLevel = std::move(other.m_topLevel);
    m_byNumber = other.m_byNumber;
    m_selected = other.m_selected;
    m_observer = other.m_observer;
    other.KeyCounter = 0;
    other.m_collection.clear();
    other.m_topLevel.clear();
    other.m_byNumber.fill(nullptr);
    other.m_selected = nullptr;
    other.m_observer = nullptr;
    return *this;
}

std::optional<int> Outline::keyNumberOf(QStringView key)
{
    if (key.size() < 2)
        return std::nullopt;
    constexpr int cap = 1000000;
    int number = 0;
    for (QChar c : key.mid(1)) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = std::min(cap, number * 10 + (c.unicode() - u'0'));
    }
    return number;
}

QString Outline::keyText(int keyNumber)
{
    return QStringLiteral("C") + QString::number(keyNumber);
}

Category *Outline::addTopLevel(const QString &key, const QString &title)
{
    return insert(nullptr, int(m_topLevel.size()), key, title);
}

Category *Outline::addChild(Category *relative, const QString &key, const QString &title)
{
    if (!relative)
        return nullptr;
    return insert(relative, relative->childCount(), key, title);
}

Category *Outline::addPrevious(Category *relative, const QString &key, const QString &title)
{
    if (!relative)
        return nullptr;
    return insert(relative->m_parent, relative->m_row, key, title);
}

Category *Outline::insert(Category *parent, int row, const QString &key, const QString &title)
{
    // Every category owns a body slot, so a key without a usable number is
    // refused like a duplicate one.
    const std::optional<int> keyNumber = keyNumberOf(key);
    if (!keyNumber || *keyNumber > MaxKeyNumber || m_byNumber[size_t(*keyNumber)])
        return nullptr;

    if (m_observer)
        m_observer->categoryAboutToBeAdded(parent, row);
    auto owned = std::unique_ptr<Category>(new Category(key, *keyNumber, title));
    Category *category = owned.get();
    category->m_parent = parent;
    auto &siblings = parent ? parent->m_children : m_topLevel;
    siblings.insert(siblings.begin() + row, category);
    renumberRows(parent, row);
    m_collection.push_back(std::move(owned));
    category->m_index = int(m_collection.size());
    m_byNumber[size_t(*keyNumber)] = category;
    if (m_observer)
        m_observer->categoryAdded(category);
    return category;
}

void Outline::renumberRows(Category *parent, int from)
{
    auto &siblings = parent ? parent->m_children : m_topLevel;
    for (auto row = size_t(from); row < siblings.size(); ++row)
        siblings[row]->m_row = int(row);
}

void Outline::remove(Category *category)
{
    if (!category)
        return;
    if (m_observer)
        m_observer->categoryAboutToBeRemoved(category);

    // Mark the subtree without recursion: a chain can be thousands deep.
    std::vector<Category *> pending{category};
    std::vector<bool> removed(m_collection.size() + 1, false);
    while (!pending.empty()) {
        Category *c = pending.back();
        pending.pop_back();
        removed[size_t(c->m_index)] = true;
        m_byNumber[size_t(c->m_keyNumber)] = nullptr;
        if (c == m_selected)
            m_selected = nullptr;
        pending.insert(pending.end(), c->m_children.begin(), c->m_children.end());
    }

    Category *parent = category->m_parent;
    auto &siblings = parent ? parent->m_children : m_topLevel;
    const int row = category->m_row;
    siblings.erase(siblings.begin() + row);
    renumberRows(parent, row);

    size_t kept = 0;
    for (size_t i = 0; i < m_collection.size(); ++i) {
        if (removed[i + 1])
            continue;
        m_collection[i]->m_index = int(kept) + 1;
        if (kept != i)
            m_collection[kept] = std::move(m_collection[i]);
        ++kept;
    }
    m_collection.resize(kept);

    if (m_observer)
        m_observer->categoryRemoved();
}

void Outline::clear()
{
    if (m_observer)
        m_observer->outlineAboutToBeReset();
    m_topLevel.clear();
    m_byNumber.fill(nullptr);
    m_selected = nullptr;
    m_collection.clear();
    if (m_observer)
        m_observer->outlineReset();
}

Category *Outline::item(int index) const
{
    if (index < 1 || index > count())
        return nullptr;
    return m_collection[size_t(index) - 1].get();
}

Category *Outline::item(const QString &key) const
{
    const std::optional<int> keyNumber = keyNumberOf(key);
    Category *category = keyNumber ? itemByNumber(*keyNumber) : nullptr;
    return category && category->m_key == key ? category : nullptr;
}

Category *Outline::itemByNumber(int keyNumber) const
{
    return keyNumber >= 0 && keyNumber <= MaxKeyNumber ? m_byNumber[size_t(keyNumber)] : nullptr;
}

void Outline::setTitle(Category *category, const QString &title)
{
    if (category->m_title == title)
        return;
    category->m_title = title;
    if (m_observer)
        m_observer->categoryChanged(category, OutlineObserver::Change::Title);
}

void Outline::setChecked(Category *category, bool checked)
{
    if (category->m_checked == checked)
        return;
    category->m_checked = checked;
    if (m_observer)
        m_observer->categoryChanged(category, OutlineObserver::Change::Look);
}

void Outline::setImage(Category *category, int image)
{
    if (category->m_image == image)
        return;
    category->m_image = image;
    if (m_observer)
        m_observer->categoryChanged(category, OutlineObserver::Change::Look);
}

void Outline::setMark(Category *category, bool checked, int image)
{
    if (category->m_checked == checked && category->m_image == image)
        return;
    category->m_checked = checked;
    category->m_image = image;
    if (m_observer)
        m_observer->categoryChanged(category, OutlineObserver::Change::Look);
}

void Outline::setExpanded(Category *category, bool expanded)
{
    if (category->m_expanded == expanded)
        return;
    category->m_expanded = expanded;
    if (m_observer)
        m_observer->expansionChanged(category);
}

void Outline::select(Category *category)
{
    m_selected = category;
    if (m_observer)
        m_observer->selectionChanged(category);
}

void Outline::ensureVisible(Category *category)
{
    for (Category *a = category ? category->m_parent : nullptr; a; a = a->m_parent)
        setExpanded(a, true);
    if (m_observer && category)
        m_observer->madeVisible(category);
}

void Outline::replaceWith(Outline &&other)
{
    OutlineObserver *observer = m_observer;
    if (observer)
        observer->outlineAboutToBeReset();
    *this = std::move(other);
    m_observer = observer;
    if (observer)
        observer->outlineReset();
}
