#pragma once
#include "editing/engine/Picture.h"
#include "platform/Clipboard.h"
#include "platform/Pointer.h"

namespace varnel {

// Takes the clipboard picture once, stamps the pointer into it and hands it
// on at 96 dpi.
class CaptureIntake {
public:
    // The pointer's top-left in picture pixels: screen coordinates for a
    // full-screen picture, relative to the active window otherwise (a
    // desktop that names no active window counts as full screen).
    static QPoint stampPosition(const QSize& picture, const QSize& screen, const QPoint& pointerTopLeft,
                                const std::optional<QPoint>& activeWindowOrigin);
    // Draws the pointer image at pos; the picture keeps its size.
    static void drawStamp(QImage& picture, const QImage& pointer, const QPoint& pos);

    // The engine's own decoders for the clipboard's picture formats (PNG,
    // Windows bitmaps), straight into the picture without Qt's round trip;
    // null for any other type or malformed bytes (Qt's decoder then tries).
    static QImage decode(const QByteArray& bytes, const QString& mime);

    // A clipboard picture as the editor keeps it: at 96 dots per inch. Set
    // while the image has one owner (set on the picture afterwards it would
    // copy every pixel); clipboards mostly decode at 96 dpi already.
    static Picture clipboardPicture(QImage image);

    // The grab: false when the clipboard offers no picture, it does not
    // decode, or it is the picture of unlessKey (Clipboard::lastKey).
    static bool grab(Clipboard& clipboard, Pointer& pointer, const PointerImage& stamp, Picture& out,
                     quint64 unlessKey = 0);
};

} // namespace varnel
