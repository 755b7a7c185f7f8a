#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

// The user's mouse and keyboard, through xdotool: real device events from
// the X server, which the program cannot tell from a person's.
class XdotoolInput
{
public:
    explicit XdotoolInput(const QString &program);

    // Window-relative, as a user aims at what they see in the window.
    bool click(unsigned long window, QPoint at, int button = 1) const;
    // Key names as xdotool knows them: "Down", "Return", "ctrl+a".
    bool keys(const QStringList &names) const;
    // Any text, Japanese too: xdotool borrows a spare key for what the
    // keyboard map lacks.
    bool type(const QString &text) const;

    // Why the last call failed, for the test's message.
    QString lastError() const { return m_lastError; }

private:
    bool run(const QStringList &arguments) const;

    QString m_program;
    mutable QString m_lastError;
};
