#pragma once
#include <QImage>
#include <QPoint>
#include <QSize>
#include <optional>

namespace varnel {

// The mouse pointer's look and place, for stamping it into a capture.
struct PointerImage {
    QImage image;       // ARGB, null when the pointer could not be read
    QPoint topLeft;     // screen pixels: where the image's top-left corner stands
    bool isValid() const { return !image.isNull(); }
};

class Pointer {
public:
    virtual ~Pointer() = default;
    virtual PointerImage probe() = 0;
    // Top-left of the active window in screen pixels; none when the desktop
    // reports no active window.
    virtual std::optional<QPoint> activeWindowOrigin() = 0;
    // Size of the primary screen in device pixels.
    virtual QSize screenSize() = 0;
};

} // namespace varnel
