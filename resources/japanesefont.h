#pragma once

#include <QFont>

// The Japanese proportional gothic the windows are laid out for, with the
// free gothics that ship with Debian standing in where it is not installed.
QFont japaneseGothicFont(qreal pointSize, int weight = QFont::Normal);
