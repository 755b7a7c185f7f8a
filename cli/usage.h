#pragma once

#include <QString>

// "0.1.0", from the project version the build passes in.
QString versionText();

// The full help: every command with an example.
QString helpText();

// The short reminder printed after a usage error.
QString usageSummary();
