#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The outline file's bytes: one record per category, code page 932, CR LF.
// Records follow collection order, except that siblings always come in tree
// order, so that the tree reads back as it is. Characters the code page
// cannot hold are written as "?", and each CR inside a title as a blank, so
// that a title can never split into lines that would read back as records of
// their own (a lone LF does not end a line, so it stays).
QByteArray writeOutline(const Outline &outline);

// The title as it goes into the file: only a CR ends a line of the file, so
// each CR becomes a blank and a lone LF stays inside the line.
QString titleAsWritten(const QString &title);

// A title and a body as the reader gives them back once they are written:
// what findUnstorableText() warns about is already applied.
QString titleAsRead(const QString &title);
QString bodyAsRead(const QString &body);

// Text that would not read back as it stands, found before a save so the
// user can be asked. Whatever the written bytes would not give back exactly
// is named by one of the fields.
struct UnstorableText
{
    const Category *category = nullptr;
    QList<char32_t> characters; // distinct characters written as "?"
    bool titleHasLineBreak = false; // a CR in the title, written as a blank
    bool bodyHasEndMarkLine = false; // a body line starting with the end keyword
    // Any other text that would read back otherwise, such as a byte kept from
    // the file as it was that joins the character after it into another one,
    // or a lone CR in the body: for the title and for the body, a few
    // characters around the first such place, as they would read back.
    QStringList readsBackAs;
};
QList<UnstorableText> findUnstorableText(const Outline &outline);
