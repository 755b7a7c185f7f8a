#pragma once

#include "file/filestamp.h"
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
    // Declined: the user would rather keep editing than store the outline as
    // the file can hold it.
    enum class SaveOutcome { Saved, Cancelled, Failed, Declined };

    FileCommands(Document &document, EditorSurface &editor, Questions &questions);

    void mOpen_Click();
    SaveOutcome mSave_Click();
    SaveOutcome mCreate_Click();
    // Asked before Open and when the window closes. False when the user
    // declined to store the outline as the file can hold it: the command that
    // asked is abandoned, so nothing that could not be stored is lost unseen.
    bool askToSaveChanges();

    // Reads Fname into the document, or shows the read error and leaves the
    // document as it was. Does not touch CurrentFile.
    bool DataLoad(const QString &Fname);
    // The same with the outline already read from Fname, which looked like
    // `seen` before it was read.
    bool DataLoad(const QString &Fname, ReadResult read, const FileStamp &seen);

    static const QString Filter;

private:
    SaveOutcome saveTo(const QString &fileName);
    QString dialogStart() const;
    bool confirmUnstorableText();
    bool confirmOverwritingOthersChanges(const QString &fileName);

    Document &m_document;
    EditorSurface &m_editor;
    Questions &m_questions;
    // The file dialog's name is kept between uses, so each dialog starts
    // with the name chosen last in any command.
    QString m_dialogFileName;
    // The file as this outline last read or wrote it, so that what another
    // program wrote there since is not replaced unasked.
    QString m_seenFile;
    FileStamp m_seenStamp;
};
