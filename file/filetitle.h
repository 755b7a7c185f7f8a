#pragma once

#include <QString>

// The part of a path after its last folder separator: "\" as on the system the
// format comes from, and "/" as here. Empty for an empty path or one ending
// in a separator.
QString FileTitleOf(const QString &path);
