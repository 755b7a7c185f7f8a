#pragma once

#include "file/atomicwrite.h"

#include <QString>

#include <optional>

struct Document;
class Outline;

// Writes the whole outline to `Fname`, replacing the file only once the new
// one is complete. On success EditPending and DataChanged are cleared; on
// failure the flags stay and the previous file is untouched. Pending typing
// is the caller's to write back first.
std::optional<WriteError> DataSave(Document &document, const QString &Fname);

// Makes a completely read outline the document's: the boxes are to show the
// root (EditIndex 1), and nothing is pending or changed.
void adoptLoadedOutline(Document &document, Outline &&loaded);
