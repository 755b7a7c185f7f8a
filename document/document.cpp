#include "document/document.h"

#include "document/icons.h"

void ResetOutline(Document &document)
{
    Outline &outline = document.outline;
    outline.clear();
    outline.KeyCounter = 0;
    document.EditPending = false;
    Category *root = outline.addTopLevel(QStringLiteral("C0"), InitialRootTitle);
    outline.TextData[0].clear();
    document.EditIndex = 1;
    outline.KeyCounter = 1;
    outline.setImage(root, icons::Collapsed);
    outline.ensureVisible(root);
    outline.select(root);
}

void WriteBackEdit(Document &document, const QString &title, const std::optional<QString> &body)
{
    if (!document.EditPending)
        return;
    if (Category *category = document.editedCategory()) {
        if (body)
            document.outline.TextData[size_t(category->keyNumber())] = *body;
        document.outline.setTitle(category, title);
    }
    document.EditPending = false;
}

QString oneLineTitle(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

void beginEditing(Document &document, Category *category)
{
    document.EditIndex = category ? category->index() : 0;
}
