#pragma once
#include "platform/Pointer.h"

namespace varnel {

// Pointer image through XFixes, active window through _NET_ACTIVE_WINDOW.
class X11Pointer : public Pointer {
public:
    PointerImage probe() override;
    std::optional<QPoint> activeWindowOrigin() override;
    QSize screenSize() override;
};

} // namespace varnel
