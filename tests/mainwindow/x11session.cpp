#include "x11session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

QByteArray propertyOf(Display *display, Window window, const char *name, Atom type)
{
    const Atom property = XInternAtom(display, name, False);
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char *data = nullptr;
    QByteArray value;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format,
                           &items, &remaining, &data)
                == Success
        && data) {
        // Xlib hands 32-bit items over as longs.
        const qsizetype itemSize = format == 32 ? qsizetype(sizeof(long)) : format / 8;
        value = QByteArray(reinterpret_cast<const char *>(data), qsizetype(items) * itemSize);
        XFree(data);
    }
    return value;
}

qint64 pidOf(Display *display, Window window)
{
    const QByteArray pid = propertyOf(display, window, "_NET_WM_PID", XA_CARDINAL);
    return pid.size() >= qsizetype(sizeof(long)) ? *reinterpret_cast<const long *>(pid.constData())
                                                 : -1;
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return int(((pixel >> shift) & mask) * 255 / mask);
}

// The program's windows come and go while we look at them (a popup closes,
// the program ends): a request about a window that is gone fails, and its
// caller sees the failure, instead of Xlib's default handler ending the test.
int ignoreError(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

X11Session::X11Session() : m_display(XOpenDisplay(nullptr))
{
    XSetErrorHandler(ignoreError);
}

X11Session::~X11Session()
{
    if (m_display)
        XCloseDisplay(m_display);
}

QList<unsigned long> X11Session::windowsOf(qint64 pid) const
{
    QList<unsigned long> found;
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_display, children[i], &attributes)
            && attributes.map_state == IsViewable && pidOf(m_display, children[i]) == pid)
            found.append(children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

QString X11Session::titleOf(unsigned long window) const
{
    return QString::fromUtf8(propertyOf(m_display, window, "_NET_WM_NAME",
                                        XInternAtom(m_display, "UTF8_STRING", False)));
}

QRect X11Session::geometryOf(unsigned long window) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return QRect();
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

QImage X11Session::grab(const QRect &rect) const
{
    const QRect screen(0, 0, DisplayWidth(m_display, DefaultScreen(m_display)),
                       DisplayHeight(m_display, DefaultScreen(m_display)));
    if (rect.isEmpty() || !screen.contains(rect))
        return QImage();
    XImage *shot = XGetImage(m_display, DefaultRootWindow(m_display), rect.x(), rect.y(),
                             unsigned(rect.width()), unsigned(rect.height()), AllPlanes, ZPixmap);
    if (!shot)
        return QImage();
    // Pixel by pixel through the masks, so any visual the server picked works.
    QImage image(rect.size(), QImage::Format_RGB32);
    for (int y = 0; y < rect.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < rect.width(); ++x) {
            const unsigned long pixel = XGetPixel(shot, x, y);
            line[x] = qRgb(channel(pixel, shot->red_mask), channel(pixel, shot->green_mask),
                           channel(pixel, shot->blue_mask));
        }
    }
    XDestroyImage(shot);
    return image;
}

void X11Session::askToClose(unsigned long window) const
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XFlush(m_display);
}
