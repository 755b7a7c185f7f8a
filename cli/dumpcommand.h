#pragma once

#include <QString>

class Console;

// Writes the outline in `file` to the console's out in `format` (one of
// DumpFormats), or, when it cannot be read, only the error. Returns the exit status.
int runDump(const QString &file, const QString &format, Console &console);
