#pragma once
#include <memory>

#include "Clipboard.h"
#include "Dialogs.h"
#include "ExitRequests.h"
#include "FamilyStore.h"
#include "Pointer.h"
#include "Shell.h"
#include "SingleInstance.h"
#include "TrayIcon.h"

namespace varnel {

// The operating-system services the program uses, owned together.
struct Platform {
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<Pointer> pointer;
    std::unique_ptr<TrayIcon> tray;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<FamilyStore> family;
    std::unique_ptr<Dialogs> dialogs;
    // Process reliability: one program per user data folder, orderly exit.
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<ExitRequests> exitRequests;
    // Whether the window system reports a window's minimised state
    // faithfully (not so on Wayland, where Qt calls a minimised window normal).
    bool windowStateKnown = true;
};

// Real services of this desktop (Qt on X11). Needs a QApplication.
Platform makeDesktopPlatform();

} // namespace varnel
