#pragma once

#include "mainwindow/questions.h"

// The benchmarks' windows are never meant to ask anything: every question
// gets the timid answer and is counted, so a run that asked can be flagged.
class BenchQuestions : public Questions
{
public:
    int asked() const { return m_asked; }

    bool askYesNo(const QString &title, const QString &text, bool yesIsDefault) override;
    void showError(const QString &title, const QString &text, const QString &detail) override;
    QString openFileName(const QString &filter, const QString &fileName) override;
    QString saveFileName(const QString &filter, const QString &fileName) override;

private:
    void note(const QString &title, const QString &text);
    int m_asked = 0;
};
