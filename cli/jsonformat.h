#pragma once

class Console;
class Outline;

// The outline as one JSON object, UTF-8, keys in a fixed order so that two
// outputs compare as text:
//   {"keyCounter": N, "root": {"key", "title", "checked", "image", "body", "children": [...]}}
// Nothing is lost: undecodable bytes (lone surrogates U+DC80..U+DCFF in memory)
// are written as \udcXX escapes. Written a category at a time.
void writeAsJson(const Outline &outline, Console &console);
