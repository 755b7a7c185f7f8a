#pragma once

#include <QString>

// What the file commands need of the window: the two boxes and the caption.
class EditorSurface
{
public:
    virtual ~EditorSurface() = default;

    // Commits text an input method is still composing in the boxes, as typing.
    virtual void commitComposition() = 0;
    // Stores pending typing into the category being edited.
    virtual void writeBackEdit() = 0;
    // Fills the boxes from the category at EditIndex, without marking typing.
    virtual void showEditedCategory() = 0;
    virtual void setCaption(const QString &caption) = 0;
};
