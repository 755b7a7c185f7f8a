#include "xdotoolinput.h"

#include <algorithm>

#include <QProcess>

XdotoolInput::XdotoolInput(const QString &program) : m_program(program)
{ }

bool XdotoolInput::click(unsigned long window, QPoint at, int button) const
{
    return run({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                QString::number(button)});
}

bool XdotoolInput::keys(const QStringList &names) const
{
    return run(QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + names);
}

bool XdotoolInput::type(const QString &text) const
{
    // A character without a key of its own is typed by remapping a spare key
    // for a moment; on a busy machine the program can read the key after the
    // mapping changed back, so such text goes slower.
    const bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QString delay = ascii ? QStringLiteral("20") : QStringLiteral("120");
    return run({QStringLiteral("type"), QStringLiteral("--delay"), delay, text});
}

bool XdotoolInput::run(const QStringList &arguments) const
{
    QProcess xdotool;
    // xdotool reads its text argument through the C locale's multibyte
    // conversion: under LANG=C every Japanese character would be refused.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xdotool.setProcessEnvironment(environment);
    xdotool.start(m_program, arguments);
    if (!xdotool.waitForFinished(10000)) {
        m_lastError =
                QStringLiteral("xdotool %1: %2").arg(arguments.join(u' '), xdotool.errorString());
        xdotool.kill();
        xdotool.waitForFinished();
        return false;
    }
    if (xdotool.exitStatus() != QProcess::NormalExit || xdotool.exitCode() != 0) {
        m_lastError = QStringLiteral("xdotool %1 failed: %2")
                              .arg(arguments.join(u' '),
                                   QString::fromLocal8Bit(xdotool.readAllStandardError()));
        return false;
    }
    m_lastError.clear();
    return true;
}
