#pragma once

struct Document;
class Category;

// The three commands that change the outline's shape. Each acts on the
// selected category and returns the new category (creation) or whether
// anything was removed; each does nothing, silently, when it cannot apply.

// A new last child of the selected category (the root is allowed).
Category *createChildOfSelected(Document &document);
// A new sibling just before the selected category (not the root).
Category *createSiblingBeforeSelected(Document &document);
// Removes the selected category with its subtree (not the root) and selects
// a neighbour: the next sibling, else the previous one, else the parent.
bool deleteSelectedCategory(Document &document);

// Created categories stop here so that every key number has a body slot.
constexpr int KeyCounterLimit = 2047;
