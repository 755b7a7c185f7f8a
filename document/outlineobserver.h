#pragma once

class Category;

// What a view of the outline is told. Every call comes from Outline, before
// or after the change it names, on the thread that made the change.
class OutlineObserver
{
public:
    virtual ~OutlineObserver() = default;

    // `parent` is null for a top-level category.
    virtual void categoryAboutToBeAdded(Category *parent, int row) = 0;
    virtual void categoryAdded(Category *category) = 0;
    // The category and its whole subtree are about to go.
    virtual void categoryAboutToBeRemoved(Category *category) = 0;
    virtual void categoryRemoved() = 0;
    virtual void outlineAboutToBeReset() = 0;
    virtual void outlineReset() = 0;
    enum class Change { Title, Look }; // Look: the check mark or the image
    virtual void categoryChanged(Category *category, Change change) = 0;
    virtual void expansionChanged(Category *category) = 0;
    virtual void selectionChanged(Category *selected) = 0;
    // Expand every collapsed ancestor and scroll the category into view.
    virtual void madeVisible(Category *category) = 0;
};
