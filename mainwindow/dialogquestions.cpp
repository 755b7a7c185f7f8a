#include "mainwindow/dialogquestions.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QTextDocument>

namespace {

// The filter arrives as "Name (*.ext)|*.ext|..."; Qt wants "Name (*.ext);;...".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        names.append(parts[i].contains(u'(') ? parts[i] : parts[i] + u" (" + parts[i + 1] + u')');
    return names.join(QStringLiteral(";;"));
}

QString askFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter,
                    const QString &fileName)
{
    QFileDialog dialog(parent, QString(), fileName, qtFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool DialogQuestions::askYesNo(const QString &title, const QString &text, bool yesIsDefault)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
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
