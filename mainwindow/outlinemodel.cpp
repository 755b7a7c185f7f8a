#include "mainwindow/outlinemodel.h"

#include "document/outline.h"
#include "resources/pictures.h"

#include <QTextDocument>

OutlineModel::OutlineModel(Outline &outline, QObject *parent)
    : QAbstractItemModel(parent), m_outline(outline)
{
    m_outline.setObserver(this);
}

OutlineModel::~OutlineModel()
{
    m_outline.setObserver(nullptr);
}

QModelIndex OutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const Category *parentCategory = categoryAt(parent);
    const auto &rows = parentCategory ? parentCategory->children() : m_outline.topLevel();
    return size_t(row) < rows.size() ? createIndex(row, 0, rows[size_t(row)]) : QModelIndex();
}

QModelIndex OutlineModel::parent(const QModelIndex &child) const
{
    const Category *category = categoryAt(child);
    return category ? indexOf(category->parent()) : QModelIndex();
}

int OutlineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const Category *category = categoryAt(parent);
    return category ? category->childCount() : int(m_outline.topLevel().size());
}

int OutlineModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant OutlineModel::data(const QModelIndex &index, int role) const
{
    const Category *category = categoryAt(index);
    if (!category)
        return {};
    switch (role) {
    case Qt::DisplayRole: return category->title();
    case Qt::ToolTipRole:
        // A tooltip takes text that looks like markup for markup; such a
        // title goes as markup that says exactly the title.
        return Qt::mightBeRichText(category->title()) ? Qt::convertFromPlainText(category->title())
                                                      : category->title();
    case Qt::DecorationRole: return pictures::treeImage(category->image());
    case Qt::AccessibleDescriptionRole:
        // The picture alone shows the mark; a screen reader says it in words.
        return category->checked() ? QStringLiteral("チェック済み") : QStringLiteral("未チェック");
    default: return {};
    }
}

void OutlineModel::categoryAboutToBeAdded(Category *parent, int row)
{
    beginInsertRows(indexOf(parent), row, row);
}

void OutlineModel::categoryAdded(Category *)
{
    endInsertRows();
}

void OutlineModel::categoryAboutToBeRemoved(Category *category)
{
    // The subtree's categories are owned by the outline and freed by it once
    // the view has let go of their rows.
    beginRemoveRows(indexOf(category->parent()), category->row(), category->row());
}

void OutlineModel::categoryRemoved()
{
    endRemoveRows();
}

void OutlineModel::outlineAboutToBeReset()
{
    beginResetModel();
}

void OutlineModel::outlineReset()
{
    endResetModel();
    emit outlineReplaced();
}

void OutlineModel::categoryChanged(Category *category, Change change)
{
    const QModelIndex index = indexOf(category);
    if (change == Change::Title)
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::ToolTipRole});
    else
        emit dataChanged(index, index, {Qt::DecorationRole, Qt::AccessibleDescriptionRole});
}

void OutlineModel::expansionChanged(Category *category)
{
    emit expansionRequested(indexOf(category), category->expanded());
}

void OutlineModel::selectionChanged(Category *selected)
{
    emit selectionRequested(indexOf(selected));
}

void OutlineModel::madeVisible(Category *category)
{
    emit scrollRequested(indexOf(category));
}
