#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QString>

// Outlines the robustness tests and their helper programs both build, so a
// test can tell exactly which one a file holds.
namespace robustoutlines {

// The two outlines the save loop writes in turn. They differ in every record
// and in size, and carry bodies large enough that a save takes a while, so a
// kill lands inside one more often than between two.
Outline loopVariant(int which);
QByteArray loopVariantBytes(int which);

// Every category under the root, C1 .. C(count - 1), in collection order.
Outline wide(int count);
// A chain: C(n) is the only child of C(n - 1), `depth` levels below the root.
Outline chain(int depth);

} // namespace robustoutlines
