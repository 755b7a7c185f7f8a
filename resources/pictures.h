#pragma once

#include <QIcon>

// Every picture the program shows. The icons are rendered from the SVG
// drawings on first use and kept, so asking again (the tree does on every
// paint) costs a lookup. Needs a QGuiApplication.
namespace pictures {

// Tree pictures: 1 closed folder, 2 open folder, 3 page; 4 to 6 are the same
// three with the red tick. Any other number gives a null icon.
QIcon treeImage(int image);

// Toolbar pictures 1 to 12 in button order; any other number gives a null icon.
QIcon toolbarImage(int number);

// Window icon of every window and the picture in the About box.
QIcon programIcon();

// The button a menu bar or toolbar shows when its items do not all fit: a
// double arrow pointing along the bar, right for a horizontal one, down for a
// vertical one.
QIcon moreItemsImage(Qt::Orientation barOrientation);

} // namespace pictures
