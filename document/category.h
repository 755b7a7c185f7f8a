#pragma once

#include <QString>

#include <utility>
#include <vector>

// One node of the outline. Only Outline changes a category, so that every
// change reaches the observer (the tree view) through one path.
class Category
{
public:
    const QString &key() const { return m_key; }
    // The key's text after its first character, as a number: the slot of the
    // category's body in Outline::TextData.
    int keyNumber() const { return m_keyNumber; }
    const QString &title() const { return m_title; }
    bool checked() const { return m_checked; }
    int image() const { return m_image; }
    bool expanded() const { return m_expanded; }

    // Position in collection order, from 1; the root is always 1.
    int index() const { return m_index; }

    Category *parent() const { return m_parent; }
    const std::vector<Category *> &children() const { return m_children; }
    int childCount() const { return int(m_children.size()); }
    Category *child() const { return m_children.empty() ? nullptr : m_children.front(); }
    // The following sibling in tree order, or none.
    Category *next() const;
    // Position among the siblings, from 0 (the row a view shows it in).
    int row() const { return m_row; }
    // Whether this category is `subtreeRoot` or lies below it.
    bool isWithin(const Category *subtreeRoot) const
    {
        for (const Category *c = this; c; c = c->m_parent)
            if (c == subtreeRoot)
                return true;
        return false;
    }

private:
    friend class Outline;
    Category(QString key, int keyNumber, QString title)
        : m_key(std::move(key)), m_keyNumber(keyNumber), m_title(std::move(title))
    { }

    QString m_key;
    int m_keyNumber = 0;
    QString m_title;
    bool m_checked = false;
    int m_image = 0;
    bool m_expanded = false;
    int m_index = 0;
    int m_row = 0;
    Category *m_parent = nullptr;
    std::vector<Category *> m_children;
};
