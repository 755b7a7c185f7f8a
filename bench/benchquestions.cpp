#include "bench/benchquestions.h"

#include <QDebug>

void BenchQuestions::note(const QString &title, const QString &text)
{
    ++m_asked;
    qWarning().noquote() << "bench: unexpected question:" << title << text;
}

bool BenchQuestions::askYesNo(const QString &title, const QString &text, bool)
{
    note(title, text);
    return false;
}

void BenchQuestions::showError(const QString &title, const QString &text, const QString &detail)
{
    note(title, text + u' ' + detail);
}

QString BenchQuestions::openFileName(const QString &filter, const QString &)
{
    note(QStringLiteral("open"), filter);
    return QString();
}

QString BenchQuestions::saveFileName(const QString &filter, const QString &)
{
    note(QStringLiteral("save"), filter);
    return QString();
}
