#pragma once

// A category's icon is its shape plus TickedOffset when it is checked.
// Expansion and the shape are set independently by the operations that know
// better: a propagation shows the open folder even on a collapsed parent.
namespace icons {
constexpr int Collapsed = 1;
constexpr int Expanded = 2;
constexpr int Leaf = 3;
constexpr int TickedOffset = 3;

constexpr int of(int shape, bool checked)
{
    return shape + (checked ? TickedOffset : 0);
}
} // namespace icons
