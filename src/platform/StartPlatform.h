#pragma once
#include <QByteArray>
#include <QStringList>

namespace varnel {

// The Qt platform to start on when the user chose none. A Wayland session
// that also runs XWayland gets "xcb": there the clipboard, the pointer and
// the notification area work as on X11. Empty: leave Qt's own choice.
// qpa, waylandDisplay, display: the environment's values; args: the
// command line (a "-platform" argument is a choice too).
QByteArray startPlatform(const QByteArray& qpa, const QByteArray& waylandDisplay,
                         const QByteArray& display, const QStringList& args);

// Applies startPlatform to this process before the application object exists.
void applyStartPlatform(int argc, char** argv);

} // namespace varnel
