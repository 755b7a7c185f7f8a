#include "mainwindow/dialogquestions.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QTextDocument>

namespace {

// The filter arrives as "Name (*.ext)|*.ext|...". Each choice keeps its name
// as shown and gets its own pattern in a second pair of brackets, which the
// dialog matches with but does not show (HideNameFilterDetails). That lets
// "All (*.*)" keep its name while matching every file: "*.*" means every
// file where the filter comes from, but only names with a dot here.
QStringList qtFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1] == u"*.*" ? QStringLiteral("*") : parts[i + 1];
        filters.append(parts[i] + u" (" + pattern + u')');
    }
    return filters;
}

// Typing a path makes the dialog select every existing folder the path
// passes through (/, /home, ...), and it prefers the selection to the typed
// name: Enter then went into the first of those folders and emptied the
// field. Only an entry of the folder shown can be the user's choice.
class FileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        if (auto *list = findChild<QAbstractItemView *>(QStringLiteral("listView"))) {
            QItemSelectionModel *selection = list->selectionModel();
            const QModelIndexList rows = selection->selectedRows();
            for (const QModelIndex &row : rows) {
                if (row.parent() != list->rootIndex())
                    selection->select(row,
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            }
        }
        QFileDialog::accept();
    }
};

// Telling a file's type from its content means reading it, and some files
// never answer a read (/proc/kmsg): listing such a folder hung the program.
// The list goes by names only.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }

    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

QString askFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter,
                    const QString &fileName)
{
    // A name ending in "/" is a folder with no name in it yet; selecting it
    // would offer the folder's own name as the file's.
    const bool folderOnly = fileName.isEmpty() || fileName.endsWith(u'/');
    NameOnlyIconProvider iconProvider;
    FileDialog dialog(parent, QString(), fileName);
    dialog.setIconProvider(&iconProvider);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(qtFilters(filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!folderOnly)
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool DialogQuestions::askYesNo(const QString &title, const QString &text, bool yesIsDefault)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    // Texts carry file names and titles, which may look like markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DialogQuestions::showError(const QString &title, const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    // The detail's label guesses its format on its own; given as markup that
    // says exactly the plain text, it shows that text whatever it looks like.
    if (!detail.isEmpty())
        box.setInformativeText(Qt::convertFromPlainText(detail, Qt::WhiteSpaceNormal));
    box.exec();
}

QString DialogQuestions::openFileName(const QString &filter, const QString &fileName)
{
    return askFileName(m_parent, QFileDialog::AcceptOpen, filter, fileName);
}

QString DialogQuestions::saveFileName(const QString &filter, const QString &fileName)
{
    return askFileName(m_parent, QFileDialog::AcceptSave, filter, fileName);
}
