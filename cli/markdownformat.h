#pragma once

class Console;
class Outline;

// The outline as a nested Markdown task list, UTF-8: "- [x] title" or
// "- [ ] title", two more spaces per level, and the body's lines right below
// the item, indented to where the item's text starts so they stay inside it.
// Controls are shown escaped, as on a terminal (displaytext::forTerminal).
// Written line by line: the indentation makes the output of a deep outline
// hundreds of times the size of the outline itself.
void writeAsMarkdown(const Outline &outline, Console &console);
