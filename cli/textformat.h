#pragma once

#include <QByteArray>

class Outline;

// The titles alone, UTF-8, one a line, indented by two spaces a level, with
// "✓ " before a checked one.
QByteArray formatAsText(const Outline &outline);
