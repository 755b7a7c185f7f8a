#pragma once

#include <QString>

// Every modal question and file dialog of the main window goes through this
// seam, so tests can answer them from a script.
class Questions
{
public:
    virtual ~Questions() = default;

    // A Yes/No message box with the question icon; true for Yes.
    virtual bool askYesNo(const QString &title, const QString &text, bool yesIsDefault) = 0;
    // A message box with the error icon and an OK button. `detail` may be empty.
    virtual void showError(const QString &title, const QString &text, const QString &detail) = 0;
    // The Open and Save dialogs; `fileName` is where they start. An empty
    // result means the user cancelled.
    virtual QString openFileName(const QString &filter, const QString &fileName) = 0;
    virtual QString saveFileName(const QString &filter, const QString &fileName) = 0;
};
