#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct OpmlImportError
{
    int line = 0; // 1-based line of the input, or 0 when no one line is to blame
    QString message; // plain English
};

struct OpmlImportResult
{
    Outline outline; // empty when the import failed
    std::optional<OpmlImportError> error;
    bool ok() const { return !error; }
};

// Builds an outline from OPML. Every outline element is a category: its title
// from "text", its body from "_note" (line ends made CR LF), its mark from
// _status="checked" or _complete="true". The first top-level outline element
// is the root; later top-level ones become the root's last children. Keys are
// handed out as the window hands them out: C0 for the root, then C1, C2, ...
// in document order, with KeyCounter one past the last. Marks are taken as
// they stand, as the outline file reader takes them.
//
// Refused: malformed XML, no outline element, and more categories than the
// window could ever have created (KeyCounterLimit).
OpmlImportResult importOpml(const QByteArray &xml);
