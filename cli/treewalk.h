#pragma once

#include "document/category.h"

#include <cstddef>
#include <vector>

// Visits `root` and everything under it in tree order: enter(category, depth)
// before a category's children, leave(category, depth) after them; the root
// has depth 0. An explicit stack instead of recursion, because a chain of
// categories can be as deep as there are keys.
template<typename Enter, typename Leave>
void walkTree(const Category *root, Enter enter, Leave leave)
{
    if (!root)
        return;
    struct Frame
    {
        const Category *category;
        std::size_t nextChild;
    };
    std::vector<Frame> stack;
    enter(root, 0);
    stack.push_back({root, 0});
    while (!stack.empty()) {
        Frame &top = stack.back();
        const auto &children = top.category->children();
        if (top.nextChild < children.size()) {
            const Category *child = children[top.nextChild++];
            enter(child, int(stack.size()));
            stack.push_back({child, 0}); // `top` is not used past this point
        } else {
            const Category *done = top.category;
            stack.pop_back();
            leave(done, int(stack.size()));
        }
    }
}
