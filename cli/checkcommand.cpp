#include "cli/checkcommand.h"

#include "cli/console.h"
#include "cli/exitstatus.h"
#include "cli/loaderrortext.h"
#include "file/outlinereader.h"

int runCheck(const QStringList &files, Console &console)
{
    int status = exitstatus::Success;
    for (const QString &file : files) {
        const ReadResult result = readOutlineFile(file);
        if (result.ok()) {
            console.print(
                    QStringLiteral("%1: %2 categories").arg(file).arg(result.outline.count()));
        } else {
            console.printError(loadErrorText(file, *result.error));
            status = exitstatus::Failure;
        }
    }
    return status;
}
