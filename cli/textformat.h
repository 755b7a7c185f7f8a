#pragma once

class Console;
class Outline;

// The titles alone, UTF-8, one a line, indented by two spaces a level, with
// "✓ " before a checked one, controls shown escaped; written line by line.
void writeAsText(const Outline &outline, Console &console);
