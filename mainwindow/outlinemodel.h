#pragma once

#include "document/category.h"
#include "document/outlineobserver.h"

#include <QAbstractItemModel>

class Outline;

// Shows the outline core to a QTreeView. The core stays the one copy of the
// tree: an index's internal pointer is its Category, and every change arrives
// through the observer calls, which this turns into the model's signals.
class OutlineModel : public QAbstractItemModel, public OutlineObserver
{
    Q_OBJECT
public:
    explicit OutlineModel(Outline &outline, QObject *parent = nullptr);
    ~OutlineModel() override;

    // Inline: the view asks for parents once per level of every row it paints.
    QModelIndex indexOf(const Category *category) const
    {
        return category ? createIndex(category->row(), 0, const_cast<Category *>(category))
                        : QModelIndex();
    }
    static Category *categoryAt(const QModelIndex &index)
    {
        return index.isValid() ? static_cast<Category *>(index.internalPointer()) : nullptr;
    }

    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // What the core asks of the view beyond the rows themselves.
    void selectionRequested(const QModelIndex &index);
    void expansionRequested(const QModelIndex &index, bool expanded);
    void scrollRequested(const QModelIndex &index);
    // After a whole new outline: the view re-applies every expansion.
    void outlineReplaced();

private:
    void categoryAboutToBeAdded(Category *parent, int row) override;
    void categoryAdded(Category *category) override;
    void categoryAboutToBeRemoved(Category *category) override;
    void categoryRemoved() override;
    void outlineAboutToBeReset() override;
    void outlineReset() override;
    void categoryChanged(Category *category, Change change) override;
    void expansionChanged(Category *category) override;
    void selectionChanged(Category *selected) override;
    void madeVisible(Category *category) override;

    Outline &m_outline;
};
