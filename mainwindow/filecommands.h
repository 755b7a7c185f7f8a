#pragma once

#include "file/outlinereader.h"

#include <QString>

struct Document;
class EditorSurface;
class Questions;

// Open, Save, Save As and the save question, between the document, the
// window's boxes and the user's answers.
class FileCommands
{
public:
    enum class SaveOutcome { Saved, Cancelled, Failed };

    FileCommands(Document &document, EditorSurface &editor, Questions &questions);

    void mOpen_Click();
    SaveOutcome mSave_Click();
    SaveOutcome mCreate_Click();
    // Asked before Open and when the window closes; neither can be abandoned here.
    void askToSaveChanges();

    // Reads Fname into the document, or shows the read error and leaves the
    // document as it was. Does not touch CurrentFile.
    bool DataLoad(const QString &Fname);
    // The same with the outline already read from Fname.
    bool DataLoad(const QString &Fname, ReadResult read);

    static const QString Filter;

private:
    SaveOutcome saveTo(const QString &fileName);
    QString dialogStart() const;
    bool confirmUnstorableText();

    Document &m_document;
    EditorSurface &m_editor;
    Questions &m_questions;
    // The file dialog's name is kept between uses, so each dialog starts
    // with the name chosen last in any command.
    QString m_dialogFileName;
};
