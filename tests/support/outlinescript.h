#pragma once

#include "document/outline.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

// Small outlines written as one line of text, so that a test row can state a
// whole tree, its marks and what is expected of it.
namespace outlinescript {

struct CategoryRecipe
{
    QString key;
    QString parentKey; // empty for the root
    QString title;
    bool checked = false;
    QString body;
};

// Builds on `outline` step by step: the first key becomes the root, "K>P"
// adds K as the last child of P, "K<S" adds K just before its sibling S and
// "-K" removes K with its subtree. KeyCounter ends above every key, as after
// a load. Every category starts without a mark, icon 3 or 2 (expanded).
// Returns what went wrong, or nothing.
QString build(Outline &outline, const QString &script);

// Adds the categories in the order given, each as the last child of its
// parent, with their titles, marks and bodies.
Outline build(std::initializer_list<CategoryRecipe> categories);

// Tree order, children in brackets: "C0(C3 C1(C2))".
QString treeOrder(const Outline &outline);
// Keys by Index: "C0 C1 C2".
QString collectionOrder(const Outline &outline);
// Icon and mark of every category in collection order: "C0:2- C1:6+".
QString marks(const Outline &outline);
// Sets icons and marks in the form `marks` prints. Icons 1 and 4 collapse
// the category, 2 and 5 expand it. Returns what went wrong, or nothing.
QString setMarks(Outline &outline, const QString &marks);
// Keys of the expanded categories in collection order.
QString expandedKeys(const Outline &outline);
// One line per category in collection order, e.g.
//   C1 under C0 "Packing" img 3 body "Camera\r\nUmbrella"
// with " checked" and " open" when they apply; CR and LF in bodies are shown
// as \r and \n.
QStringList describe(const Outline &outline);

// Everything a view relies on: Index matches collection order and the key
// lookup, rows and Next match the sibling lists, parents come first in
// collection order. Returns the first broken rule, or nothing.
QString structureProblems(const Outline &outline);

} // namespace outlinescript
