#include "tests/cli/svkrunner.h"

#include <QFile>
#include <QProcess>

namespace svktest {

SvkRun runSvk(const QStringList &arguments, const QString &standardOutputFile,
              const std::function<void()> &inChild)
{
    QProcess process;
    if (!standardOutputFile.isEmpty())
        process.setStandardOutputFile(standardOutputFile);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(SVK_PATH), arguments);
    SvkRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.err = process.readAllStandardError();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray chain(int depth)
{
    QByteArray out;
    for (int i = 0; i < depth; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray key = "C" + n;
        const QByteArray parent = i == 0 ? QByteArray() : "C" + QByteArray::number(i - 1);
        const QByteArray title = "t" + n;
        out += record(key, parent, title, "False", {""});
    }
    return out;
}

QByteArray opmlWithOutlines(int count)
{
    QByteArray out =
            "<?xml version=\"1.0\"?>\n<opml version=\"2.0\"><body>\n<outline text=\"root\">\n";
    for (int i = 1; i < count; ++i)
        out += "<outline text=\"n" + QByteArray::number(i) + "\"/>\n";
    out += "</outline>\n</body></opml>\n";
    return out;
}

QString fixturePath(const QString &name)
{
    return QStringLiteral(SVK_FIXTURES "/") + name;
}

} // namespace svktest
