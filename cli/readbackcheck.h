#pragma once

#include <QString>

#include <optional>

class Outline;

// The first way in which `read`, an outline file read back, differs from what
// writing `meant` should have given, in collection order: a category's key,
// parent, place among its siblings, title, mark or body, then the number of
// categories. Titles and bodies are compared as the writer's bytes should read
// back (a character code page 932 cannot hold as "?", a CR in a title as a
// blank, and so on), since those changes are told as warnings; what is left
// is text that ended up in another place. Nothing when they agree.
std::optional<QString> firstReadBackDifference(const Outline &meant, const Outline &read);
