#include "cli/dumpcommand.h"

#include "cli/console.h"
#include "cli/exitstatus.h"
#include "cli/jsonformat.h"
#include "cli/loaderrortext.h"
#include "cli/markdownformat.h"
#include "cli/opmlformat.h"
#include "cli/textformat.h"
#include "file/outlinereader.h"

#include <QFileInfo>

int runDump(const QString &file, const QString &format, Console &console)
{
    const ReadResult result = readOutlineFile(file);
    if (!result.ok()) {
        console.printError(loadErrorText(file, *result.error));
        return exitstatus::Failure;
    }
    const Outline &outline = result.outline;
    if (format == u"markdown")
        writeAsMarkdown(outline, console);
    else if (format == u"opml")
        writeAsOpml(outline, QFileInfo(file).fileName(), console);
    else if (format == u"text")
        writeAsText(outline, console);
    else
        writeAsJson(outline, console);
    return exitstatus::Success;
}
