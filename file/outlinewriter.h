#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The outline file's bytes: one record per category in collection order,
// code page 932, CR LF. Characters the code page cannot hold are written as
// "?", and line breaks inside a title as blanks, so that a title can never
// split into lines that would read back as records of their own.
QByteArray writeOutline(const Outline &outline);

// Text that would not read back as it stands, found before a save so the
// user can be asked.
struct UnstorableText
{
    const Category *category = nullptr;
    QList<char32_t> characters;     // distinct characters written as "?"
    bool titleHasLineBreak = false;
    bool bodyHasEndMarkLine = false; // a body line starting with the end keyword
};
QList<UnstorableText> findUnstorableText(const Outline &outline);
