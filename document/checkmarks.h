#pragma once

class Category;
class Outline;
struct Document;

// Recomputes the marks and icons of every ancestor of `category`, from its
// parent up to the root: a parent is checked exactly when all its children
// are, and shows the open folder either way.
void PropagateCheck(Outline &outline, Category *category);

// Toggles the mark of the selected category when it has no children and is
// not the root. Returns whether anything changed.
bool toggleSelectedMark(Document &document);
