#include "saverrun.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

namespace saverrun {

QString saverPath()
{
    return QStringLiteral(OUTLINESAVER_PATH);
}

QString shimPath()
{
    return QStringLiteral(FAULTSHIM_PATH);
}

QProcessEnvironment faultEnvironment(const FaultPlan &fault)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), shimPath());
    // A sanitizer runtime wants to be loaded first; the shim does not mind.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS"))
                               + QStringLiteral(":verify_asan_link_order=0"));
    environment.insert(QStringLiteral("SORVEKA_FAULT_CALL"), fault.call);
    environment.insert(QStringLiteral("SORVEKA_FAULT_AT"), QString::number(fault.at));
    environment.insert(QStringLiteral("SORVEKA_FAULT_ERRNO"), fault.error);
    environment.insert(QStringLiteral("SORVEKA_FAULT_UNDER"), fault.folder);
    return environment;
}

SaverRun run(const QStringList &arguments, const QProcessEnvironment &environment, bool asNobody,
             int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (asNobody && ::geteuid() == 0) {
        process.setChildProcessModifier([] {
            // Without root the folder and file permissions below are real.
            if (!childprocess::leaveRoot())
                ::_exit(126);
        });
    }
    process.start(saverPath(), arguments);
    SaverRun result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        result.finished = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = process.exitCode();
    }
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace saverrun
