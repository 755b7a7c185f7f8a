#pragma once

#include <QString>

struct Document;

// Runs the user's commands on a document from one line of text: "@K" selects
// K ("@-" selects nothing), "below", "front", "delete" and "check" run the
// commands on the selection. Returns one word per command, space separated:
// the new key or "none" for a creation, "yes" or "no" for the others, and
// "?" for a word it does not know.
QString runCommands(Document &document, const QString &script);
