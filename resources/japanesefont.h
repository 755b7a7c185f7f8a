#pragma once

#include <QFont>

// The Japanese proportional gothic the windows are laid out for, with the
// free gothics that ship with Debian standing in where it is not installed.
QFont japaneseGothicFont(qreal pointSize, int weight = QFont::Normal);

// `font` drawn snapped to the pixel grid both ways, as the boxes are: kanji
// keep crisp strokes at small sizes, and each glyph is drawn once rather
// than once per fraction of a pixel it lands on.
QFont gridFitted(QFont font);
