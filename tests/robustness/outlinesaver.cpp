// The program the robustness tests run under fault injection, as another
// user, or until killed: it reads, edits and saves outlines the way the window
// does, through readOutlineFile, WriteBackEdit and DataSave, and says what
// happened on stdout.
//
//   outlinesaver save FILE TITLE   read FILE, retitle the root, save over FILE
//   outlinesaver loop FILE         save the two loop outlines over FILE in turn
//                                  until killed; "saving" once the first is done
//   outlinesaver copy FROM TO      read FROM and save it as TO
//
// Exit status: 0 saved, 1 the save failed, 2 bad arguments, 3 the read failed.
#include "robustoutlines.h"

#include "document/document.h"
#include "file/documentio.h"
#include "file/outlinereader.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

bool load(Document &document, const QString &path)
{
    ReadResult read = readOutlineFile(path);
    if (!read.ok()) {
        say(u"read-error line %1: %2"_s.arg(read.error->line).arg(read.error->message));
        return false;
    }
    adoptLoadedOutline(document, std::move(read.outline));
    return true;
}

int save(Document &document, const QString &path)
{
    const auto error = DataSave(document, path);
    if (error)
        say(u"save-error %1: %2"_s.arg(error->code).arg(error->message));
    else
        say(u"saved"_s);
    say(u"DataChanged=%1 EditPending=%2"_s.arg(document.DataChanged).arg(document.EditPending));
    return error ? 1 : 0;
}

int saveEdited(const QString &path, const QString &title)
{
    Document document;
    if (!load(document, path))
        return 3;
    // As typing into the boxes does, then the write-back that precedes a save.
    document.EditPending = true;
    document.DataChanged = true;
    const Outline &outline = document.outline;
    WriteBackEdit(document, title, outline.TextData[0] + u"\r\n"_s + title);
    return save(document, path);
}

int saveInTurn(const QString &path)
{
    Document variants[2];
    for (int which = 0; which < 2; ++which)
        adoptLoadedOutline(variants[which], robustoutlines::loopVariant(which));
    for (unsigned long turn = 0;; ++turn) {
        Document &document = variants[turn % 2];
        document.DataChanged = true;
        if (const auto error = DataSave(document, path)) {
            say(u"save-error %1: %2"_s.arg(error->code).arg(error->message));
            return 1;
        }
        if (turn == 0)
            say(u"saving"_s);
    }
}

int copy(const QString &from, const QString &to)
{
    Document document;
    if (!load(document, from))
        return 3;
    qsizetype characters = 0;
    for (const QString &body : document.outline.TextData)
        characters += body.size();
    say(u"categories=%1 body-characters=%2"_s.arg(document.outline.count()).arg(characters));
    const int status = save(document, to);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    say(u"maxrss-kb=%1"_s.arg(usage.ru_maxrss));
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args[0] == u"save")
        return saveEdited(args[1], args[2]);
    if (args.size() == 2 && args[0] == u"loop")
        return saveInTurn(args[1]);
    if (args.size() == 3 && args[0] == u"copy")
        return copy(args[1], args[2]);
    std::fputs("usage: outlinesaver save FILE TITLE | loop FILE | copy FROM TO\n", stderr);
    return 2;
}
