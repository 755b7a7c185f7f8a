#include "document/checkmarks.h"

#include "document/document.h"
#include "document/icons.h"

#include <algorithm>

void PropagateCheck(Outline &outline, Category *category)
{
    // A loop, not recursion: a chain of categories may be thousands deep.
    for (Category *parent = category ? category->parent() : nullptr; parent;
         parent = parent->parent()) {
        const auto &children = parent->children();
        const bool allChecked = std::all_of(children.begin(), children.end(),
                                            [](const Category *c) { return c->checked(); });
        outline.setMark(parent, allChecked, icons::of(icons::Expanded, allChecked));
    }
}

bool toggleSelectedMark(Document &document)
{
    Outline &outline = document.outline;
    Category *selected = outline.selected();
    if (!selected || selected->index() == 1)
        return false;
    if (selected->childCount() != 0)
        return false;
    const bool checked = !selected->checked();
    outline.setMark(selected, checked, icons::of(icons::Leaf, checked));
    PropagateCheck(outline, selected);
    document.DataChanged = true;
    return true;
}
