#pragma once

#include "document/outline.h"

#include <QString>

#include <optional>

// The program-wide document state: the outline and the flags that tie it to
// the title and body boxes and to its file.
struct Document
{
    Outline outline;
    // The boxes hold typing not yet written back into the category at EditIndex.
    bool EditPending = false;
    // Index of the category the boxes show; the target of the write-back.
    int EditIndex = 0;
    // Absolute path of the outline's file; empty when there is none.
    QString CurrentFile;
    // The outline changed since it was last loaded or saved.
    bool DataChanged = false;

    // The category being edited, or none when EditIndex names none.
    Category *editedCategory() const { return outline.item(EditIndex); }
};

inline const QString InitialRootTitle = QStringLiteral("名前付けてね");
inline const QString NewCategoryTitle = QStringLiteral("新しい項目");

// Replaces the outline by one that holds only the root "C0". Typing pending
// in the boxes is dropped; the caller fills the boxes from the root.
void ResetOutline(Document &document);

// Stores the boxes into the category being edited when typing is pending:
// the title, and the body when there is one, that is when the body box was
// edited. A stale EditIndex (no such category) stores nothing rather than
// guessing.
void WriteBackEdit(Document &document, const QString &title, const std::optional<QString> &body);

// A title is one line: each line break in `text` (CR LF, CR or LF) becomes
// a blank.
QString oneLineTitle(const QString &text);

// Makes `category` the one the boxes show: the caller fills the boxes with its
// title and TextData slot.
void beginEditing(Document &document, Category *category);
