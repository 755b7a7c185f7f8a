#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>

struct LoadError
{
    enum class Code {
        CannotOpen,
        // A folder, pipe, device or socket: never read, so nothing can block
        // on it or run out of memory.
        NotRegularFile,
        // The file got shorter or changed while it was read.
        ChangedWhileReading,
        BadCheckedValue,
        DuplicateKey,
        // Two keys such as C7 and C007 would share one body slot.
        DuplicateKeyNumber,
        // The key's text after its first character is not plain decimal digits.
        BadKey,
        MissingParent,
        UnknownParent,
        KeyNumberOutOfRange,
        NoRecord,
    };
    Code code = Code::NoRecord;
    int line = 0; // 1-based line where reading failed; 0 when the file as a whole was refused
    QString message; // plain English, e.g. unknown parent key "C9"
    int systemError = 0; // errno where the system refused, 0 otherwise
    // The key or check mark value the message quotes, cut to a readable
    // length: a line of the file may be megabytes long.
    QString value = {};
};

struct ReadResult
{
    // On failure it holds the categories completed before the failure.
    Outline outline;
    std::optional<LoadError> error;
    bool ok() const { return !error; }
};

// True when str1 begins with str2 (case-sensitive); an empty str2 always matches.
bool StrLComp(QStringView str1, QStringView str2);

// Parses outline file bytes into a fresh outline: the root expanded, icons
// and marks as the file gives them (ancestors are not recomputed), KeyCounter
// one past the highest key number.
ReadResult readOutline(QByteArrayView bytes);
ReadResult readOutlineFile(const QString &path);

// The whole of a regular file. Anything else (a folder, a pipe, a device)
// is refused at once, so it can neither block the reader nor fill the
// memory; a file that changes while it is read is refused as well.
std::variant<QByteArray, LoadError> readRegularFile(const QString &path);
