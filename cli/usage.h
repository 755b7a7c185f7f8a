#pragma once

#include <QString>

// The full help: every command with an example.
QString helpText();

// The short reminder printed after a usage error.
QString usageSummary();
