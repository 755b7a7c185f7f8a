#include "cli/checkcommand.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/dumpcommand.h"
#include "cli/exitstatus.h"
#include "cli/importcommand.h"
#include "cli/usage.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

namespace {

int run(const CommandLine &line, Console &console)
{
    switch (line.command) {
    case CommandLine::Command::Help:
        console.write(helpText().toUtf8());
        return exitstatus::Success;
    case CommandLine::Command::Version:
        console.print(QStringLiteral("svk ") + versionText());
        return exitstatus::Success;
    case CommandLine::Command::Check:
        return runCheck(line.files, console);
    case CommandLine::Command::Dump:
        return runDump(line.files.front(), line.format, console);
    case CommandLine::Command::Import:
        return runImport(line.files.front(), line.output, console);
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
    QCoreApplication::setApplicationVersion(versionText());

    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return exitstatus::Failure;
    Console console{out, err};

    const auto parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (const auto *error = std::get_if<UsageError>(&parsed)) {
        console.printError(QStringLiteral("svk: ") + error->message);
        console.err.write(usageSummary().toUtf8());
        console.printError(QStringLiteral("Try 'svk --help' for more."));
        return exitstatus::Usage;
    }
    const int status = run(std::get<CommandLine>(parsed), console);
    if (!out.flush()) {
        err.write("svk: cannot write to standard output\n");
        return exitstatus::Failure;
    }
    return status;
}
