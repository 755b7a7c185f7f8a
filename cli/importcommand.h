#pragma once

#include <QString>

class Console;

// Builds an outline file at `output` from the OPML file `input`, through the
// same writer as Save. On refusal nothing is written. Returns the exit status.
int runImport(const QString &input, const QString &output, Console &console);
