#pragma once

#include "document/outlineobserver.h"

#include <QString>
#include <QStringList>

class Outline;

// Stands in for the tree view's model adapter. It writes down every change
// announced and checks what the adapter relies on: each add, remove and reset
// is announced once before and once after, with the right parent and row,
// the tree is whole at both moments, and nothing else is announced in between.
class RecordingObserver : public OutlineObserver
{
public:
    explicit RecordingObserver(Outline &outline);
    ~RecordingObserver() override;
    RecordingObserver(const RecordingObserver &) = delete;
    RecordingObserver &operator=(const RecordingObserver &) = delete;

    // "add C3 to C0@1", "remove C1 from C0@0 with 2", "reset".
    QStringList structure;
    // Keys, one entry per announcement.
    QStringList changes;
    QStringList expansions;
    QStringList selections;
    QStringList visible;

    // Broken rules seen so far, plus an announcement still waiting for its
    // second half.
    QStringList problems() const;

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

private:
    enum class Pending { None, Add, Remove, Reset };

    void expectIdle(const QString &what);
    void checkStructure(const QString &when);
    int siblingCount(const Category *parent) const;

    Outline &m_outline;
    QStringList m_problems;
    Pending m_pending = Pending::None;
    const Category *m_parent = nullptr;
    QString m_parentKey;
    QString m_key;
    int m_row = 0;
    int m_siblingsBefore = 0;
    int m_countBefore = 0;
    QStringList m_subtreeKeys;
};
