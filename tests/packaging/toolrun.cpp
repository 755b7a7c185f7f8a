#include "tests/packaging/toolrun.h"

#include <QProcess>
#include <QStandardPaths>

ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QString &workingFolder, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);

    ToolResult result;
    if (!process.waitForStarted()) {
        result.output = process.errorString();
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.output = QString::fromLocal8Bit(process.readAll()) + QStringLiteral("\n(timed out)");
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

QString findTool(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}
