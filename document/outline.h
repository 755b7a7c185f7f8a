#pragma once

#include "document/category.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class OutlineObserver;

// The category tree with its body texts and key counter: everything an
// outline file holds. Categories are kept in two orders: tree order (under
// their parents) and collection order (the order they were added in, which
// gives Category::index() and the order of the file's records).
//
// Lookups of a missing position or key return null, and adding a key that is
// already present, whose number another key already has (C7 and C007 would
// share one body), or whose number has no body slot, is refused with null:
// callers decide what that means.
class Outline
{
public:
    static constexpr int TextSlots = 2049;
    static constexpr int MaxKeyNumber = TextSlots - 1;

    Outline();
    ~Outline();
    Outline(Outline &&other) noexcept;
    Outline &operator=(Outline &&other) noexcept;
    Outline(const Outline &) = delete;
    Outline &operator=(const Outline &) = delete;

    // The key number the next created category receives.
    int KeyCounter = 0;
    // Body texts, indexed by key number. Slots no category bears are never read.
    std::array<QString, TextSlots> TextData;

    // "C12" -> 12. Only plain decimal digits after the first character count:
    // anything else gives nothing. Numbers too large for a text slot come back
    // as they are (capped at a million) so the caller can name the problem.
    static std::optional<int> keyNumberOf(QStringView key);
    // 12 -> "C12": the key of a category the program creates.
    static QString keyText(int keyNumber);

    // A new top-level category after the existing ones.
    Category *addTopLevel(const QString &key, const QString &title);
    // The new category becomes the last child of `relative`.
    Category *addChild(Category *relative, const QString &key, const QString &title);
    // The new category becomes the sibling just before `relative`.
    Category *addPrevious(Category *relative, const QString &key, const QString &title);

    // Removes the category with all its descendants; later indexes close up.
    void remove(Category *category);
    void clear();

    int count() const { return int(m_collection.size()); }
    // By position in collection order, from 1.
    Category *item(int index) const;
    Category *item(const QString &key) const;
    // The category whose key has this number, or none.
    Category *itemByNumber(int keyNumber) const;
    Category *root() const { return m_topLevel.empty() ? nullptr : m_topLevel.front(); }
    const std::vector<Category *> &topLevel() const { return m_topLevel; }

    void setTitle(Category *category, const QString &title);
    void setChecked(Category *category, bool checked);
    void setImage(Category *category, int image);
    // Mark and icon together, told to the view as one change: a propagation
    // sets both on every ancestor, up to thousands of them.
    void setMark(Category *category, bool checked, int image);
    void setExpanded(Category *category, bool expanded);

    // The tree's selected category (SelectedItem), or none.
    Category *selected() const { return m_selected; }
    void select(Category *category);
    // EnsureVisible: expands every collapsed ancestor and asks the view to
    // scroll the category into view.
    void ensureVisible(Category *category);

    // Takes over another outline's categories, texts and counter, keeping this
    // outline's observer, which sees one reset.
    void replaceWith(Outline &&other);

    void setObserver(OutlineObserver *observer) { m_observer = observer; }

private:
    Category *insert(Category *parent, int row, const QString &key, const QString &title);
    void renumberRows(Category *parent, int from);

    // Owns every category; the order is collection order.
    std::vector<std::unique_ptr<Category>> m_collection;
    std::vector<Category *> m_topLevel;
    // Indexed by key number: a number names one body slot, so it may name
    // only one category, and a lookup needs no hashing.
    std::array<Category *, TextSlots> m_byNumber{};
    Category *m_selected = nullptr;
    OutlineObserver *m_observer = nullptr;
};
