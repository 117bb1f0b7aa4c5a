#include "platform/Platform.h"

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
    p.clipboard = std::make_unique<QtClipboard>();
    p.pointer = std::make_unique<X11Pointer>();
    p.tray = std::make_unique<QtTrayIcon>();
    p.shell = std::make_unique<DesktopShell>();
    p.family = std::make_unique<SettingsFamilyStore>();
    p.dialogs = std::make_unique<QtDialogs>();
    p.instance = std::make_unique<LocalSingleInstance>();
    p.exitRequests = std::make_unique<PosixExitRequests>();
    return p;
}

} // namespace varnel
