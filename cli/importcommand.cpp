#include "cli/importcommand.h"

#include "cli/console.h"
#include "cli/displaytext.h"
#include "cli/exitstatus.h"
#include "cli/loaderrortext.h"
#include "cli/opmlimport.h"
#include "cli/readbackcheck.h"
#include "file/atomicwrite.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"

#include <QFile>
#include <QStringList>

namespace {

QString describeCharacters(const QList<char32_t> &characters)
{
    QStringList names;
    for (char32_t c : characters) {
        const QString hex = QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
        names.append(QStringLiteral("U+%1 \"%2\"").arg(hex, QString::fromUcs4(&c, 1)));
    }
    return names.join(QStringLiteral(", "));
}

// What the writer has to change, told before it is written: the window asks,
// the command line warns and goes on. A body line that starts with the end
// keyword is not among them: such an outline does not read back and is refused.
void warnAboutUnstorableText(const QString &input, const Outline &outline, Console &console)
{
    for (const UnstorableText &text : findUnstorableText(outline)) {
        const QString where = QStringLiteral("%1: warning: category %2 \"%3\"")
                                      .arg(input, text.category->key(),
                                           displaytext::oneLine(text.category->title()));
        if (!text.characters.isEmpty())
            console.printError(where
                               + QStringLiteral(": code page 932 cannot hold %1; written as \"?\"")
                                         .arg(describeCharacters(text.characters)));
        if (text.titleHasLineBreak)
            console.printError(
                    where + QStringLiteral(": the title has a line break; written as a blank"));
        for (const QString &changed : text.readsBackAs)
            console.printError(where
                               + QStringLiteral(": the text would read back otherwise, as \"%1\"")
                                         .arg(displaytext::oneLine(changed)));
    }
}

} // namespace

int runImport(const QString &input, const QString &output, Console &console)
{
    // A pipe or a device as input would block the import or fill the memory.
    const auto read = readRegularFile(input);
    if (const auto *error = std::get_if<LoadError>(&read)) {
        console.printError(loadErrorText(input, *error));
        return exitstatus::Failure;
    }
    const auto &xml = std::get<QByteArray>(read);

    const OpmlImportResult imported = importOpml(xml);
    if (!imported.ok()) {
        const OpmlImportError &error = *imported.error;
        console.printError(
                error.line > 0
                        ? QStringLiteral("%1:%2: %3").arg(input).arg(error.line).arg(error.message)
                        : QStringLiteral("%1: %2").arg(input, error.message));
        return exitstatus::Failure;
    }

    const QByteArray bytes = writeOutline(imported.outline);
    // The file is what counts: one the window would refuse to open is not written.
    const ReadResult reread = readOutline(bytes);
    if (!reread.ok()) {
        console.printError(
                QStringLiteral("%1: the outline would not read back (line %2: %3); nothing written")
                        .arg(input)
                        .arg(reread.error->line)
                        .arg(reread.error->message));
        return exitstatus::Failure;
    }
    // Nor one that would open as something else: a body line can end its body
    // early and the lines after it can read as records of their own.
    if (const std::optional<QString> difference =
                firstReadBackDifference(imported.outline, reread.outline)) {
        console.printError(
                QStringLiteral(
                        "%1: the outline would not read back as imported (%2); nothing written")
                        .arg(input, *difference));
        return exitstatus::Failure;
    }
    warnAboutUnstorableText(input, imported.outline, console);
    if (const std::optional<WriteError> error = writeFileAtomically(output, bytes)) {
        console.printError(error->message);
        return exitstatus::Failure;
    }
    return exitstatus::Success;
}
