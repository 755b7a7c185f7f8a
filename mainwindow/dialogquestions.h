#pragma once

#include "mainwindow/questions.h"

class QWidget;

// The real questions: QMessageBox and Qt's own file dialogs, which speak the
// program's language whatever the desktop offers.
class DialogQuestions : public Questions
{
public:
    // Boxes and dialogs are centred on `parent` once it is set.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    bool askYesNo(const QString &title, const QString &text, bool yesIsDefault) override;
    void showError(const QString &title, const QString &text, const QString &detail) override;
    QString openFileName(const QString &filter, const QString &fileName) override;
    QString saveFileName(const QString &filter, const QString &fileName) override;

private:
    QWidget *m_parent = nullptr;
};
