#pragma once

#include <QByteArray>

class Outline;

// The outline as a nested Markdown task list, UTF-8: "- [x] title" or
// "- [ ] title", two more spaces per level, and the body's lines right below
// the item, indented to where the item's text starts so they stay inside it.
QByteArray formatAsMarkdown(const Outline &outline);
