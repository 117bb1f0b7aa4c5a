#include "CaptureIntake.h"

#include <QPainter>

namespace varnel {

QPoint CaptureIntake::stampPosition(const QSize& picture, const QSize& screen,
                                    const QPoint& pointerTopLeft,
                                    const std::optional<QPoint>& activeWindowOrigin)
{
    const bool fullScreen = picture.width() >= screen.width() && picture.height() >= screen.height();
    if (fullScreen || !activeWindowOrigin)
        return pointerTopLeft;
    return pointerTopLeft - *activeWindowOrigin;
}

void CaptureIntake::drawStamp(QImage& picture, const QImage& pointer, const QPoint& pos)
{
    if (pointer.isNull() || picture.isNull())
        return;
    if (!QRect(pos, pointer.size()).intersects(picture.rect()))
        return;
    // Painting needs a true-colour surface; an alpha channel the picture did
    // not have is not introduced.
    const QImage::Format f = picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32;
    if (picture.format() != f)
        picture = picture.convertToFormat(f);
    QPainter p(&picture);
    p.drawImage(pos, pointer);
}

bool CaptureIntake::grab(Clipboard& clipboard, Pointer& pointer, const PointerImage& stamp,
                         Picture& out)
{
    QImage img = clipboard.takePicture();
    if (img.isNull())
        return false;
    if (stamp.isValid()) {
        const QPoint pos = stampPosition(img.size(), pointer.screenSize(), stamp.topLeft,
                                         pointer.activeWindowOrigin());
        drawStamp(img, stamp.image, pos);
    }
    out.setImage(img);
    out.setResolution(96, 96);
    return out.hasPicture();
}

} // namespace varnel
