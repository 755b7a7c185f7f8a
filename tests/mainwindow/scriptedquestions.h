#pragma once

#include "mainwindow/questions.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

// Answers the window's questions from queues filled by the test, and records
// every question asked. A question with no scripted answer is not an error
// the test can see at once (the window is inside a modal call), so it is kept
// in problems(), which each test's cleanup checks; it gets the timid answer
// (No, an empty file name).
class ScriptedQuestions : public Questions
{
public:
    enum class Kind { YesNo, Error, Open, Save };

    struct Asked
    {
        Kind kind;
        QString title;
        QString text;
        QString detail; // errors only
        bool yesIsDefault; // Yes/No questions only
        QString filter; // file dialogs only
        QString fileName; // file dialogs only: where the dialog started
    };

    // Answers, used in order, one queue per kind of question.
    void answerYesNo(bool yes) { m_yesNo.enqueue(yes); }
    // An empty name answers as a cancelled dialog.
    void answerOpen(const QString &fileName) { m_open.enqueue(fileName); }
    void answerSave(const QString &fileName) { m_save.enqueue(fileName); }
    // Allows one more error box.
    void expectError() { ++m_errorsExpected; }

    const QList<Asked> &asked() const { return m_asked; }
    // "kind|title" of every question, for comparisons in one line.
    QStringList askedTitles() const;
    QList<Asked> askedOf(Kind kind) const;
    void clearAsked() { m_asked.clear(); }

    // Unexpected questions and scripted answers left unused.
    QStringList problems() const;

    bool askYesNo(const QString &title, const QString &text, bool yesIsDefault) override;
    void showError(const QString &title, const QString &text, const QString &detail) override;
    QString openFileName(const QString &filter, const QString &fileName) override;
    QString saveFileName(const QString &filter, const QString &fileName) override;

private:
    QList<Asked> m_asked;
    QQueue<bool> m_yesNo;
    QQueue<QString> m_open;
    QQueue<QString> m_save;
    int m_errorsExpected = 0;
    QStringList m_unexpected;
};
