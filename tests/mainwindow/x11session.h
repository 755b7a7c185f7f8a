#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

using Display = struct _XDisplay;

// What a user sees on the X server: the top-level windows a process has
// mapped, their titles and places, and their pixels. No window manager runs
// under Xvfb, so every top-level window is a direct child of the root.
class X11Session
{
public:
    X11Session();
    ~X11Session();
    X11Session(const X11Session &) = delete;
    X11Session &operator=(const X11Session &) = delete;

    bool isOpen() const { return m_display != nullptr; }

    // Viewable top-level windows whose _NET_WM_PID is pid, popups included,
    // in stacking order (bottom first).
    QList<unsigned long> windowsOf(qint64 pid) const;
    QString titleOf(unsigned long window) const;
    // In root coordinates.
    QRect geometryOf(unsigned long window) const;
    // What the screen shows in the rectangle (root coordinates), whatever
    // window covers it; a null image when the rectangle leaves the screen.
    QImage grab(const QRect &rect) const;
    // What a window manager sends when the user clicks the close box.
    void askToClose(unsigned long window) const;

private:
    Display *m_display = nullptr;
};
