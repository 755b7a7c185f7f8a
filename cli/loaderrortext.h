#pragma once

#include <QString>

struct LoadError;

// "FILE:LINE: REASON" as compilers print it, or "FILE: cannot open: REASON"
// when the file could not be read at all and no line is to blame.
QString loadErrorText(const QString &fileName, const LoadError &error);
