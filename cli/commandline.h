#pragma once

#include <QString>
#include <QStringList>

#include <variant>

// What the arguments ask for, checked for completeness but not for whether
// the files exist.
struct CommandLine
{
    enum class Command { Help, Version, Check, Dump, Import };
    Command command = Command::Help;
    QStringList files; // check: one or more; dump, import: exactly one
    QString format = QStringLiteral("json"); // dump
    QString from = QStringLiteral("opml"); // import
    QString output; // import
};

struct UsageError
{
    QString message; // plain English, without the program name
};

// `arguments` without the program name. --help or --version anywhere before
// "--" wins over everything else; after "--" every argument is a file name.
std::variant<CommandLine, UsageError> parseCommandLine(const QStringList &arguments);

inline const QStringList DumpFormats = {QStringLiteral("json"), QStringLiteral("markdown"),
                                        QStringLiteral("opml"), QStringLiteral("text")};
