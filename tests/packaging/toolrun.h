#pragma once

#include <QString>
#include <QStringList>

// What an external tool did: whether it ran to the end, its exit code and
// everything it printed, stdout and stderr together for failure messages.
struct ToolResult
{
    bool finished = false;
    int exitCode = -1;
    QString output;

    bool succeeded() const { return finished && exitCode == 0; }
};

// Runs a program to the end (or until timeoutMs); an empty workingFolder
// keeps the test's own.
ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QString &workingFolder = {}, int timeoutMs = 120000);

// The full path of a program on PATH, or an empty string.
QString findTool(const QString &name);
