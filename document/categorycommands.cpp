#include "document/categorycommands.h"

#include "document/checkmarks.h"
#include "document/document.h"
#include "document/icons.h"

namespace {

QString nextKey(const Outline &outline)
{
    return Outline::keyText(outline.KeyCounter);
}

// What both creation commands do once the new category is in the tree.
Category *finishCreation(Document &document, Category *created)
{
    Outline &outline = document.outline;
    outline.TextData[size_t(outline.KeyCounter)].clear();
    ++outline.KeyCounter;
    outline.setMark(created, false, icons::Leaf);
    PropagateCheck(outline, created);
    outline.ensureVisible(created);
    document.DataChanged = true;
    return created;
}

// The key counter's invariant keeps the next key free; a tree that breaks it
// is refused rather than corrupted.
bool canCreate(const Outline &outline, const Category *selected)
{
    return selected && outline.KeyCounter < KeyCounterLimit && !outline.item(nextKey(outline));
}

} // namespace

Category *createChildOfSelected(Document &document)
{
    Outline &outline = document.outline;
    Category *selected = outline.selected();
    if (!canCreate(outline, selected))
        return nullptr;
    outline.setMark(selected, false, icons::Expanded);
    return finishCreation(document, outline.addChild(selected, nextKey(outline), NewCategoryTitle));
}

Category *createSiblingBeforeSelected(Document &document)
{
    Outline &outline = document.outline;
    Category *selected = outline.selected();
    if (!canCreate(outline, selected) || selected->index() == 1)
        return nullptr;
    return finishCreation(document,
                          outline.addPrevious(selected, nextKey(outline), NewCategoryTitle));
}

bool deleteSelectedCategory(Document &document)
{
    Outline &outline = document.outline;
    Category *selected = outline.selected();
    if (!selected || selected->index() == 1)
        return false;
    Category *parent = selected->parent();
    Category *neighbour = selected->next();
    if (!neighbour && selected->row() > 0)
        neighbour = parent->children()[size_t(selected->row()) - 1];
    if (!neighbour)
        neighbour = parent;

    // Positions close up after the removal: follow the edited category by
    // identity so that pending typing can never land in another category.
    Category *edited = document.editedCategory();
    const bool editedRemoved = edited && edited->isWithin(selected);

    outline.remove(selected);

    if (editedRemoved) {
        document.EditIndex = 0;
        document.EditPending = false;
    } else if (edited) {
        document.EditIndex = edited->index();
    }

    if (parent->childCount() == 0) {
        // Nothing is left to show below it: it is no longer open either.
        outline.setExpanded(parent, false);
        outline.setImage(parent, icons::of(icons::Leaf, parent->checked()));
        PropagateCheck(outline, parent);
    } else {
        // The former parent's own mark follows its remaining children too, so
        // deleting its one unchecked child does not leave it wrongly unchecked.
        PropagateCheck(outline, parent->child());
    }
    outline.select(neighbour);
    document.DataChanged = true;
    return true;
}
