#include "scriptedquestions.h"

namespace {

QString kindName(ScriptedQuestions::Kind kind)
{
    switch (kind) {
    case ScriptedQuestions::Kind::YesNo: return QStringLiteral("yesno");
    case ScriptedQuestions::Kind::Error: return QStringLiteral("error");
    case ScriptedQuestions::Kind::Open: return QStringLiteral("open");
    case ScriptedQuestions::Kind::Save: return QStringLiteral("save");
    }
    return QString();
}

} // namespace

QStringList ScriptedQuestions::askedTitles() const
{
    QStringList titles;
    for (const Asked &asked : m_asked)
        titles << kindName(asked.kind) + u'|' + asked.title;
    return titles;
}

QList<ScriptedQuestions::Asked> ScriptedQuestions::askedOf(Kind kind) const
{
    QList<Asked> found;
    for (const Asked &asked : m_asked)
        if (asked.kind == kind)
            found << asked;
    return found;
}

QStringList ScriptedQuestions::problems() const
{
    QStringList problems = m_unexpected;
    if (!m_yesNo.isEmpty())
        problems << QStringLiteral("%1 Yes/No answer(s) never asked for").arg(m_yesNo.size());
    if (!m_open.isEmpty())
        problems << QStringLiteral("%1 Open dialog answer(s) never asked for").arg(m_open.size());
    if (!m_save.isEmpty())
        problems << QStringLiteral("%1 Save dialog answer(s) never asked for").arg(m_save.size());
    if (m_errorsExpected > 0)
        problems << QStringLiteral("%1 expected error box(es) never shown").arg(m_errorsExpected);
    return problems;
}

bool ScriptedQuestions::askYesNo(const QString &title, const QString &text, bool yesIsDefault)
{
    m_asked.append({Kind::YesNo, title, text, QString(), yesIsDefault, QString(), QString()});
    if (m_yesNo.isEmpty()) {
        m_unexpected << QStringLiteral("unexpected question \"%1\": %2").arg(title, text);
        return false;
    }
    return m_yesNo.dequeue();
}

void ScriptedQuestions::showError(const QString &title, const QString &text, const QString &detail)
{
    m_asked.append({Kind::Error, title, text, detail, false, QString(), QString()});
    if (m_errorsExpected == 0)
        m_unexpected << QStringLiteral("unexpected error \"%1\": %2 (%3)").arg(title, text, detail);
    else
        --m_errorsExpected;
}

QString ScriptedQuestions::openFileName(const QString &filter, const QString &fileName)
{
    m_asked.append({Kind::Open, QString(), QString(), QString(), false, filter, fileName});
    if (m_open.isEmpty()) {
        m_unexpected << QStringLiteral("unexpected Open dialog");
        return QString();
    }
    return m_open.dequeue();
}

QString ScriptedQuestions::saveFileName(const QString &filter, const QString &fileName)
{
    m_asked.append({Kind::Save, QString(), QString(), QString(), false, filter, fileName});
    if (m_save.isEmpty()) {
        m_unexpected << QStringLiteral("unexpected Save dialog");
        return QString();
    }
    return m_save.dequeue();
}
