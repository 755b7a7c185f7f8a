#pragma once

#include "tests/support/childprocess.h"
#include "tests/support/testfiles.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the outlinesaver helper and collects what it said.
struct SaverRun
{
    bool finished = false; // exited on its own within the time allowed
    int exitCode = -1;
    QString output; // stdout
    QString errors; // stderr, where the fault shim announces itself

    bool faultInjected() const { return errors.contains(QLatin1StringView("faultshim:")); }
    bool saved() const
    {
        return output.contains(QLatin1StringView("\nsaved\n"))
                || output.startsWith(QLatin1StringView("saved\n"));
    }
    bool dataChangedKept() const { return output.contains(QLatin1StringView("DataChanged=1")); }
};

struct FaultPlan
{
    QString call; // write, fsync, fdatasync, rename or close
    int at = 0; // the call that fails, from 1
    QString error; // ENOSPC or EIO
    QString folder; // only calls on paths under it count
};

namespace saverrun {

// The built helper and shim, named by the build.
QString saverPath();
QString shimPath();

// The environment for a helper that is to meet `fault`.
QProcessEnvironment faultEnvironment(const FaultPlan &fault);

// Runs the helper with `arguments`; with `asNobody` it gives up root for the
// unprivileged account first, so that permissions are checked.
SaverRun run(const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
             bool asNobody = false, int timeoutMs = 60000);

using childprocess::nobodyId;

} // namespace saverrun
