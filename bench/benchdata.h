#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Outlines for the benchmarks, generated in code from a fixed seed so every
// run measures the same bytes. Text mixes kana, kanji, ASCII and characters
// only code page 932 has, in lines of a few dozen characters.
namespace benchdata {

enum class Shape {
    Random, // each category under a random earlier one: a bushy tree
    Chain, // each category under the one before: as deep as the outline is long
    Flat, // every category under the root
};

struct OutlineRecipe
{
    int categories = 2049;
    // Body bytes in code page 932 over the whole outline, spread evenly.
    qsizetype bodyBytes = 0;
    Shape shape = Shape::Random;
    std::uint32_t seed = 20240601;
};

Outline makeOutline(const OutlineRecipe &recipe);
QByteArray makeOutlineBytes(const OutlineRecipe &recipe);

// About `cp932Bytes` bytes of body text with CR LF line ends.
QString makeBody(qsizetype cp932Bytes, std::uint32_t seed);

constexpr qsizetype MiB = 1024 * 1024;

} // namespace benchdata
