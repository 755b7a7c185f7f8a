#include "cli/console.h"

#include "cli/displaytext.h"

#include <QIODevice>

namespace {

constexpr qsizetype BlockSize = qsizetype(64) * 1024;

} // namespace

Console::Console(QIODevice &out, QIODevice &err) : m_out(out), m_err(err)
{ }

void Console::write(QByteArrayView bytes)
{
    if (m_outError)
        return;
    m_gathered += bytes;
    if (m_gathered.size() >= BlockSize)
        writeGathered();
}

void Console::print(const QString &line)
{
    write((displaytext::forTerminal(line) + u'\n').toUtf8());
}

void Console::printError(const QString &line)
{
    // What came before on out comes before the message on a terminal too.
    writeGathered();
    m_err.write((displaytext::forTerminal(line) + u'\n').toUtf8());
}

std::optional<QString> Console::finishOutput()
{
    writeGathered();
    return m_outError;
}

void Console::writeGathered()
{
    if (m_outError || m_gathered.isEmpty())
        return;
    // A short count is no failure yet: the write of the rest tells the reason.
    for (qsizetype done = 0; done < m_gathered.size();) {
        const qint64 written = m_out.write(m_gathered.constData() + done, m_gathered.size() - done);
        if (written <= 0) {
            m_outError = m_out.errorString();
            break;
        }
        done += qsizetype(written);
    }
    m_gathered.resize(0);
}
