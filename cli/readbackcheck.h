#pragma once

#include <QString>

#include <optional>

class Outline;

// The first way in which `read`, an outline file read back, differs from what
// writing `meant` should have given, in collection order: a category's key,
// parent, place among its siblings, title, mark or body, then the number of
// categories. Titles and bodies are compared as the writer stores them, with
// every character code page 932 cannot hold as "?" and a title's line breaks
// as blanks, since those changes are told as warnings. Nothing when they agree.
std::optional<QString> firstReadBackDifference(const Outline &meant, const Outline &read);
