#include "file/documentio.h"

#include "document/document.h"
#include "file/outlinewriter.h"

std::optional<WriteError> DataSave(Document &document, const QString &Fname)
{
    Outline &outline = document.outline;
    if (auto error = writeFileAtomically(Fname, writeOutline(outline)))
        return error;
    document.EditPending = false;
    document.DataChanged = false;
    return std::nullopt;
}

void adoptLoadedOutline(Document &document, Outline &&loaded)
{
    Outline &outline = document.outline;
    outline.replaceWith(std::move(loaded));
    // The boxes show the root, so the root is the selection commands act on.
    outline.select(outline.root());
    document.EditIndex = 1;
    document.EditPending = false;
    document.DataChanged = false;
}
