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

QByteArray record(QByteArrayView key, QByteArrayView parent, QByteArrayView title, QByteArrayView checked,
                  std::initializer_list<QByteArrayView> bodyLines)
{
    QByteArray out = "SORVEKA_KEY=" + key.toByteArray() + "\r\n";
    if (!parent.isEmpty())
        out += "SORVEKA_PARENT=" + parent.toByteArray() + "\r\n";
    out += "SORVEKA_TITLE=" + title.toByteArray() + "\r\n";
    out += "SORVEKA_CHECKED=" + checked.toByteArray() + "\r\n";
    out += "SORVEKA_DATA_CHECK_MARK\r\n";
    for (QByteArrayView line : bodyLines)
        out += line.toByteArray() + "\r\n";
    out += "SORVEKA_END_CHECK_MARK\r\n\r\n";
    return out;
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
    QByteArray out = "<?xml version=\"1.0\"?>\n<opml version=\"2.0\"><body>\n<outline text=\"root\">\n";
    for (int i = 1; i < count; ++i)
        out += "<outline text=\"n" + QByteArray::number(i) + "\"/>\n";
    out += "</outline>\n</body></opml>\n";
    return out;
}

bool writeFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QString fixturePath(const QString &name)
{
    return QStringLiteral(SVK_FIXTURES "/") + name;
}

} // namespace svktest
