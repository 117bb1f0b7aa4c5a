#include "DesktopShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace varnel {

bool DesktopShell::open(const QString& pathOrUrl)
{
    const QUrl url = pathOrUrl.contains(QLatin1String("://")) ? QUrl(pathOrUrl)
                                                                : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::explore(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool DesktopShell::startProgram(const QString& program, const QStringList& args)
{
    return QProcess::startDetached(program, args);
}

QString DesktopShell::specialFolder(int csidl)
{
    QString p;
    switch (csidl) {
    case 5:  // documents
        p = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 26: // per-user application data: the XDG data home
        p = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        break;
    case 9: {
        // Linux desktops have no common "send to" folder; file managers that
        // offer one keep it under the data home.
        const QString nautilus = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                 + QLatin1String("/nautilus/scripts");
        p = QFileInfo(nautilus).isDir() ? nautilus : QString();
        break;
    }
    default:
        break;
    }
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

namespace {

Display* x11Display()
{
    if (auto* x = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x->display();
    return nullptr;
}

// A CARDINAL list property of the root window; empty when it is not set.
std::vector<long> rootCardinals(Display* dpy, const char* name)
{
    std::vector<long> out;
    const Atom prop = XInternAtom(dpy, name, True);
    if (prop == None)
        return out;
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), prop, 0, 4096, False, XA_CARDINAL, &type, &format,
                           &n, &after, &data) == Success && data) {
        // Xlib hands 32-bit items out as longs.
        if (type == XA_CARDINAL && format == 32) {
            const long* v = reinterpret_cast<const long*>(data);
            out.assign(v, v + n);
        }
        XFree(data);
    }
    return out;
}

} // namespace

QRect DesktopShell::workAreaOnScreen(const std::vector<long>& workAreas, long desktop, const QRect& screen)
{
    if (desktop < 0 || workAreas.size() < size_t(desktop + 1) * 4)
        desktop = 0;
    if (workAreas.size() < size_t(desktop + 1) * 4)
        return {};
    const size_t i = size_t(desktop) * 4;
    const QRect area(int(workAreas[i]), int(workAreas[i + 1]), int(workAreas[i + 2]), int(workAreas[i + 3]));
    // One rectangle spans all monitors; the screen's share of it is what
    // the panels leave on that screen.
    return area.intersected(screen);
}

QRect DesktopShell::desktopWorkArea(const QPoint& onScreenAt)
{
    QScreen* s = QGuiApplication::screenAt(onScreenAt);
    if (!s)
        s = QGuiApplication::primaryScreen();
    if (!s)
        return {};
    const qreal dpr = s->devicePixelRatio();
    auto toDevice = [dpr](const QRect& r) {
        return QRect(QPoint(qRound(r.x() * dpr), qRound(r.y() * dpr)),
                     QSize(qRound(r.width() * dpr), qRound(r.height() * dpr)));
    };
    if (Display* dpy = x11Display()) {
        const std::vector<long> current = rootCardinals(dpy, "_NET_CURRENT_DESKTOP");
        const QRect area = workAreaOnScreen(rootCardinals(dpy, "_NET_WORKAREA"),
                                            current.empty() ? 0 : current.front(), toDevice(s->geometry()));
        if (!area.isEmpty())
            return area;
    }
    return toDevice(s->availableGeometry());
}

QString DesktopShell::calculatorProgram()
{
    for (const char* calc : {"gnome-calculator", "kcalc", "qalculate-gtk", "galculator", "xcalc"}) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(calc));
        if (!exe.isEmpty())
            return exe;
    }
    return {};
}

bool DesktopShell::startCalculator()
{
    // Started by its path with no arguments: no shell reads anything.
    const QString exe = calculatorProgram();
    return !exe.isEmpty() && QProcess::startDetached(exe, {});
}

} // namespace varnel
