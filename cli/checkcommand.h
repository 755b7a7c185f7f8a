#pragma once

#include <QStringList>

class Console;

// Reads every file as the window opens it and reports each one; a bad file
// does not stop the others. Returns the exit status.
int runCheck(const QStringList &files, Console &console);
