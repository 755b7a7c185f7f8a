#include "cli/console.h"

#include "cli/displaytext.h"

#include <QIODevice>

void Console::write(QByteArrayView bytes)
{
    out.write(bytes.data(), bytes.size());
}

void Console::print(const QString &line)
{
    out.write((displaytext::withoutLoneSurrogates(line) + u'\n').toUtf8());
}

void Console::printError(const QString &line)
{
    err.write((displaytext::withoutLoneSurrogates(line) + u'\n').toUtf8());
}
