#include "platform/Platform.h"

#include <QGuiApplication>

#include "platform/SessionClipboard.h"
#include "platform/wayland/WaylandPictureFeed.h"

#include "DesktopShell.h"
#include "LocalSingleInstance.h"
#include "PosixExitRequests.h"
#include "QtClipboard.h"
#include "QtDialogs.h"
#include "QtTrayIcon.h"
#include "SettingsFamilyStore.h"
#include "X11Pointer.h"

namespace varnel {

Platform makeDesktopPlatform()
{
    Platform p;
    // In a Wayland session copies made by Wayland programs reach this
    // program only through a separate watcher.
    std::unique_ptr<PictureFeed> feed;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        WaylandFeedConfig config;
        config.heardThroughX11 = QGuiApplication::platformName() == QLatin1String("xcb");
        feed = std::make_unique<WaylandPictureFeed>(config);
    }
    auto session = std::make_unique<SessionClipboard>(std::make_unique<QtClipboard>(), std::move(feed));
    session->setPasteThroughFeed(QGuiApplication::platformName() == QLatin1String("wayland"));
    p.clipboard = std::move(session);
    p.pointer = std::make_unique<X11Pointer>();
    p.tray = std::make_unique<QtTrayIcon>();
    p.shell = std::make_unique<DesktopShell>();
    p.family = std::make_unique<SettingsFamilyStore>();
    p.dialogs = std::make_unique<QtDialogs>(p.tray.get());
    p.instance = std::make_unique<LocalSingleInstance>();
    p.exitRequests = std::make_unique<PosixExitRequests>();
    p.windowStateKnown = QGuiApplication::platformName() != QLatin1String("wayland");
    return p;
}

} // namespace varnel
