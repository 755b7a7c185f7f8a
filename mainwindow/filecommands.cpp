#include "mainwindow/filecommands.h"

#include "document/document.h"
#include "file/documentio.h"
#include "file/filetitle.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"
#include "file/quotedvalue.h"
#include "mainwindow/editorsurface.h"
#include "mainwindow/failurereasons.h"
#include "mainwindow/questions.h"

#include <QDir>

const QString FileCommands::Filter =
        QStringLiteral("Sorveka (*.svk)|*.svk|Text (*.txt)|*.txt|All (*.*)|*.*");

namespace {

QString describe(const QList<UnstorableText> &found)
{
    constexpr qsizetype shown = 8;
    QStringList lines;
    for (qsizetype i = 0; i < found.size() && i < shown; ++i) {
        const UnstorableText &text = found[i];
        QStringList problems;
        if (!text.characters.isEmpty()) {
            QString characters;
            for (char32_t c : text.characters)
                characters += QString::fromUcs4(&c, 1);
            problems << QStringLiteral("保存できない文字「%1」").arg(quotedValue(characters));
        }
        if (text.titleHasLineBreak)
            problems << QStringLiteral("タイトル内の改行");
        if (text.bodyHasEndMarkLine)
            problems << QStringLiteral("SORVEKA_END_CHECK_MARK で始まる行");
        for (const QString &changed : text.readsBackAs)
            problems << QStringLiteral("読み直すと「%1」になる箇所").arg(quotedValue(changed));
        lines << QStringLiteral("・%1: %2")
                         .arg(quotedValue(text.category->title()),
                              problems.join(QStringLiteral("、")));
    }
    if (found.size() > shown)
        lines << QStringLiteral("ほか %1 件").arg(found.size() - shown);
    return lines.join(u'\n');
}

} // namespace

FileCommands::FileCommands(Document &document, EditorSurface &editor, Questions &questions)
    : m_document(document), m_editor(editor), m_questions(questions)
{ }

bool FileCommands::DataLoad(const QString &Fname)
{
    const FileStamp seen = FileStamp::of(Fname);
    return DataLoad(Fname, readOutlineFile(Fname), seen);
}

bool FileCommands::DataLoad(const QString &Fname, ReadResult read, const FileStamp &seen)
{
    if (!read.ok()) {
        m_questions.showError(QStringLiteral("読み込みエラー"),
                              QStringLiteral("ファイルが読み込めませんでした"),
                              readFailureDetail(*read.error));
        return false;
    }
    adoptLoadedOutline(m_document, std::move(read.outline));
    m_seenFile = Fname;
    m_seenStamp = seen;
    m_editor.showEditedCategory();
    m_editor.setCaption(QStringLiteral("Sorveka [") + FileTitleOf(Fname) + u']');
    return true;
}

void FileCommands::mOpen_Click()
{
    if (!askToSaveChanges())
        return;
    const QString fileName = m_questions.openFileName(Filter, dialogStart());
    if (fileName.isEmpty())
        return;
    m_dialogFileName = fileName;
    // A failed read keeps the outline, its file name and the caption, so
    // nothing the user had is lost to a broken file.
    if (DataLoad(fileName))
        m_document.CurrentFile = fileName;
}

FileCommands::SaveOutcome FileCommands::mSave_Click()
{
    m_editor.writeBackEdit();
    QString fileName = m_document.CurrentFile;
    if (fileName.isEmpty()) {
        fileName = m_questions.saveFileName(Filter, dialogStart());
        if (fileName.isEmpty())
            return SaveOutcome::Cancelled;
        m_dialogFileName = fileName;
    }
    return saveTo(fileName);
}

FileCommands::SaveOutcome FileCommands::mCreate_Click()
{
    m_editor.writeBackEdit();
    const QString fileName = m_questions.saveFileName(Filter, dialogStart());
    if (fileName.isEmpty())
        return SaveOutcome::Cancelled;
    m_dialogFileName = fileName;
    return saveTo(fileName);
}

bool FileCommands::askToSaveChanges()
{
    m_editor.commitComposition();
    if (!m_document.DataChanged)
        return true;
    if (!m_questions.askYesNo(QStringLiteral("保存確認"), QStringLiteral("データを保存しますか？"),
                              true))
        return true;
    // After a failed write the user may still put the outline elsewhere;
    // cancelling the dialog then goes on without saving, knowingly.
    SaveOutcome outcome = mSave_Click();
    while (outcome == SaveOutcome::Failed) {
        const QString fileName = m_questions.saveFileName(Filter, dialogStart());
        if (fileName.isEmpty())
            return true;
        m_dialogFileName = fileName;
        outcome = saveTo(fileName);
    }
    return outcome != SaveOutcome::Declined;
}

QString FileCommands::dialogStart() const
{
    // The name chosen last; before any, the outline's own file, else the
    // user's home rather than the program's folder, which start-up makes
    // the working folder.
    if (!m_dialogFileName.isEmpty())
        return m_dialogFileName;
    if (!m_document.CurrentFile.isEmpty())
        return m_document.CurrentFile;
    return QDir::homePath() + u'/';
}

bool FileCommands::confirmUnstorableText()
{
    const QList<UnstorableText> found = findUnstorableText(m_document.outline);
    if (found.isEmpty())
        return true;
    return m_questions.askYesNo(
            QStringLiteral("保存確認"),
            QStringLiteral(
                    "次のカテゴリには、このファイル形式でそのままは保存できない内容があります。\n"
                    "保存できない文字は「?」に、タイトル内の改行は空白になり、"
                    "SORVEKA_END_CHECK_MARK で始まる行は本文を途中で終わらせます。\n\n")
                    + describe(found) + QStringLiteral("\n\nこのまま保存しますか？"),
            false);
}

bool FileCommands::confirmOverwritingOthersChanges(const QString &fileName)
{
    // A name chosen in the Save dialog was in front of the user, who was
    // asked before replacing it; the outline's own file is written unseen.
    if (fileName != m_document.CurrentFile)
        return true;
    const FileStamp now = FileStamp::of(fileName);
    // Deleted since: writing it again replaces nobody's work.
    if (!now.exists)
        return true;
    // A file never read or written here (a start-up name that did not
    // exist yet) was expected to be missing.
    const FileStamp seen = m_seenFile == fileName ? m_seenStamp : FileStamp();
    if (now == seen)
        return true;
    return m_questions.askYesNo(
            QStringLiteral("上書き確認"),
            QStringLiteral("ファイルが他のプログラムで変更されています。上書きしますか？"), false);
}

FileCommands::SaveOutcome FileCommands::saveTo(const QString &fileName)
{
    if (!confirmUnstorableText())
        return SaveOutcome::Declined;
    // Declining is a save that could not be done: nothing is written and
    // the outline stays changed.
    if (!confirmOverwritingOthersChanges(fileName))
        return SaveOutcome::Failed;
    if (const auto error = DataSave(m_document, fileName)) {
        m_questions.showError(QStringLiteral("保存エラー"),
                              QStringLiteral("ファイルを保存できませんでした。\n%1").arg(fileName),
                              saveFailureReason(*error));
        return SaveOutcome::Failed;
    }
    m_document.CurrentFile = fileName;
    m_seenFile = fileName;
    m_seenStamp = FileStamp::of(fileName);
    return SaveOutcome::Saved;
}
