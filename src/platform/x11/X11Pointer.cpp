#include "X11Pointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace varnel {

namespace {
Display* x11Display()
{
    if (auto* x = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x->display();
    return nullptr;
}

// XWayland before 23.1 has no extension of its own but names its outputs
// "XWAYLAND0", "XWAYLAND1" ...
bool onXwayland(Display* dpy)
{
    int opcode = 0, ev = 0, err = 0;
    if (XQueryExtension(dpy, "XWAYLAND", &opcode, &ev, &err))
        return true;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [](const QScreen* s) {
        return s->name().startsWith(QLatin1String("XWAYLAND"));
    });
}

// On XWayland the X server knows the pointer only while it is over an X11
// window; over a native Wayland window XFixes keeps answering with the last
// place it saw and the root's arrow. There the pointer counts only when the
// server reports an X11 window under it.
bool pointerKnown(Display* dpy)
{
    if (!onXwayland(dpy))
        return true;
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask))
        return false;
    return child != None;
}
} // namespace

PointerImage X11Pointer::probe()
{
    PointerImage result;
    Display* dpy = x11Display();
    if (!dpy)
        return result;
    int evBase = 0, errBase = 0;
    if (!XFixesQueryExtension(dpy, &evBase, &errBase))
        return result;
    if (!pointerKnown(dpy))
        return result; // left unstamped rather than stamped wrong
    XFixesCursorImage* ci = XFixesGetCursorImage(dpy);
    if (!ci)
        return result;
    QImage img(ci->width, ci->height, QImage::Format_ARGB32_Premultiplied);
    // XFixes hands out 32-bit premultiplied ARGB in unsigned longs.
    for (int y = 0; y < ci->height; ++y) {
        auto* line = reinterpret_cast<quint32*>(img.scanLine(y));
        for (int x = 0; x < ci->width; ++x)
            line[x] = static_cast<quint32>(ci->pixels[y * ci->width + x]);
    }
    result.image = img;
    // The image stands where it is on screen: the hot spot under the pointer.
    result.topLeft = QPoint(ci->x - ci->xhot, ci->y - ci->yhot);
    XFree(ci);
    return result;
}

std::optional<QPoint> X11Pointer::activeWindowOrigin()
{
    Display* dpy = x11Display();
    if (!dpy)
        return std::nullopt;
    Window root = DefaultRootWindow(dpy);
    Atom prop = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", True);
    if (prop == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, root, prop, 0, 1, False, XA_WINDOW, &type, &format, &n, &after,
                           &data) != Success || !data)
        return std::nullopt;
    Window active = n == 1 ? *reinterpret_cast<Window*>(data) : 0;
    XFree(data);
    if (!active)
        return std::nullopt;
    // A window not on screen (this program's own, hidden in standby, which
    // some window managers go on naming) is no picture's source.
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, active, &attributes) || attributes.map_state != IsViewable)
        return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(dpy, active, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return QPoint(x, y);
}

QSize X11Pointer::screenSize()
{
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return {};
    return s->geometry().size() * s->devicePixelRatio();
}

} // namespace varnel
