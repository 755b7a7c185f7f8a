#include "cli/checkcommand.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/dumpcommand.h"
#include "cli/exitstatus.h"
#include "cli/importcommand.h"
#include "cli/usage.h"
#include "sorveka_version.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <unistd.h>

namespace {

int run(const CommandLine &line, Console &console)
{
    switch (line.command) {
    case CommandLine::Command::Help: console.write(helpText().toUtf8()); return exitstatus::Success;
    case CommandLine::Command::Version:
        console.print(QStringLiteral("svk ") + sorvekaVersion());
        return exitstatus::Success;
    case CommandLine::Command::Check: return runCheck(line.files, console);
    case CommandLine::Command::Dump: return runDump(line.files.front(), line.format, console);
    case CommandLine::Command::Import: return runImport(line.files.front(), line.output, console);
    }
    return exitstatus::Usage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // Past a file-size limit (ulimit -f) a write must fail with EFBIG and be
    // reported like a full disk, not kill the process with what was typed.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("svk"));
    QCoreApplication::setApplicationVersion(sorvekaVersion());

    // Unbuffered, so that every write's result reaches the console, which
    // gathers the output itself. Standard output is closed by us, at the end,
    // because the close can still report data the system could not store.
    QFile out;
    QFile err;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                  QFileDevice::AutoCloseHandle)
        || !err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return exitstatus::Failure;
    Console console(out, err);

    const auto parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (const auto *error = std::get_if<UsageError>(&parsed)) {
        console.printError(QStringLiteral("svk: ") + error->message);
        console.printError(usageSummary() + QStringLiteral("Try 'svk --help' for more."));
        return exitstatus::Usage;
    }
    const int status = run(std::get<CommandLine>(parsed), console);
    std::optional<QString> outError = console.finishOutput();
    if (!outError) {
        out.close();
        if (out.error() != QFileDevice::NoError)
            outError = out.errorString();
    }
    if (outError) {
        console.printError(QStringLiteral("svk: cannot write to standard output: ") + *outError);
        return exitstatus::Failure;
    }
    return status;
}
