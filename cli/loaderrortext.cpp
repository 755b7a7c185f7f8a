#include "cli/loaderrortext.h"

#include "file/outlinereader.h"

QString loadErrorText(const QString &fileName, const LoadError &error)
{
    if (error.code == LoadError::Code::CannotOpen)
        return QStringLiteral("%1: cannot open: %2").arg(fileName, error.message);
    // Refused as a whole (not a regular file, changed while read): no line to name.
    if (error.line == 0)
        return QStringLiteral("%1: %2").arg(fileName, error.message);
    return QStringLiteral("%1:%2: %3").arg(fileName).arg(error.line).arg(error.message);
}
